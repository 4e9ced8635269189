// Build step: writes the shipped English and French texts into the translate.dbf next to
// the built program, creating it when there is none. A table a user already works with
// only gains what it lacks (see ShippedTranslations.h). A table that can only be read
// (write-protected or damaged) is left alone with a warning: the build goes on.
//
// Usage: sonvira_ship_translations <translations.tsv> <translate.dbf>

#include "ShippedTranslations.h"
#include "TranslationContext.h"

#include <fstream>
#include <iostream>

using namespace sonvira;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <translations.tsv> <translate.dbf>\n";
        return 2;
    }
    std::ifstream source(argv[1]);
    if (!source) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    try {
        const auto rows = ReadShippedTranslations(source);
        const auto problems = CheckShippedTranslations(rows);
        for (const auto& problem : problems) std::cerr << argv[1] << ": " << problem << "\n";
        if (!problems.empty()) return 1;

        TranslationContext translation;  // the program's own way of opening the table
        try {
            translation.OpenTranslationTable(argv[2]);
        } catch (const EDbfError& e) {
            std::cerr << "warning: " << argv[2] << " is left alone: " << e.what() << "\n";
            return 0;
        }
        if (translation.Table().ReadOnly()) {
            std::cerr << "warning: " << argv[2] << " can only be read; its translations are left as they are\n";
            return 0;
        }
        const MergeCount count = MergeShippedTranslations(translation.Table(), rows);
        if (count.Appended || count.Filled)
            std::cout << argv[2] << ": " << count.Appended << " texts added, " << count.Filled
                      << " records completed\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
}
