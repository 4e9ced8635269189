#include "MessageCatalogue.h"
#include "TranslationContext.h"
#include "Win1252.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace sonvira {
namespace {

using test::TempDir;

TEST(MessageCatalogue, HoldsEveryNumberedMessageInAscendingOrder) {
    std::vector<int32_t> numbers;
    for (const CatalogueEntry& e : MessageCatalogue()) numbers.push_back(e.Number);
    const std::vector<int32_t> expected = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                           16, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27, 28, 29,
                                           30, 31, 32, 33, 34, 35, 36, 37, 39, 40, 41};
    EXPECT_EQ(numbers, expected);
    EXPECT_STREQ(CatalogueGerman(4), " beim Ausführen des SCSI Kommandos...");
    EXPECT_STREQ(CatalogueGerman(1), "Bitte schließen Sie das Programm und starten Sie es erneut!");
    // Every text fits the code page of the table.
    for (const CatalogueEntry& e : MessageCatalogue())
        EXPECT_EQ(Win1252ToUtf8(Utf8ToWin1252(e.German)), e.German) << e.Number;
}

TEST(CatalogueText, LeavesTheDestinationAloneForNumbersWithoutEntry) {
    TempDir dir;
    TranslationContext tr;
    tr.OpenTranslationTable(dir.file("translate.dbf"));
    tr.BuildTranslationIndex();
    for (int32_t n : {0, 2, 15, 20, 38, 42, 44, -1}) {
        std::string text = "unverändert";
        EXPECT_FALSE(CatalogueText(tr, n, text)) << n;
        EXPECT_EQ(text, "unverändert");
    }
    EXPECT_EQ(tr.Table().RecordCount(), 0u);
    std::string text;
    EXPECT_TRUE(CatalogueText(tr, 10, text));
    EXPECT_EQ(text, "Konnte Datei nicht öffnen!");
}

TEST(RegisterMessages, FillsAFreshTableInNumberOrderWithEqualTextsOnce) {
    TempDir dir;
    TranslationContext tr;
    tr.OpenTranslationTable(dir.file("translate.dbf"));
    tr.BuildTranslationIndex();
    RegisterMessages(tr);
    std::vector<std::string> expected;
    std::set<std::string> seen;
    for (const CatalogueEntry& e : MessageCatalogue()) {
        std::string key = e.German;
        key.erase(0, key.find_first_not_of(' '));
        if (seen.insert(key).second) expected.push_back(key);
    }
    std::vector<std::string> german;
    for (uint32_t r = 1; r <= tr.Table().RecordCount(); ++r) german.push_back(Win1252ToUtf8(tr.Table().Value(r, 0)));
    EXPECT_EQ(german, expected);
    EXPECT_EQ(german.size(), 33u);  // 37 entries, four texts twice
    RegisterMessages(tr);
    EXPECT_EQ(tr.Table().RecordCount(), 33u);
}

TEST(CatalogueText, EntryFourKeepsItsLeadingBlankInTranslation) {
    TempDir dir;
    TranslationContext tr;
    tr.OpenTranslationTable(dir.file("translate.dbf"));
    tr.BuildTranslationIndex();
    RegisterMessages(tr);
    const uint32_t rec = [&] {
        for (uint32_t r = 1; r <= tr.Table().RecordCount(); ++r)
            if (tr.Table().Value(r, 0) == Utf8ToWin1252("beim Ausführen des SCSI Kommandos...")) return r;
        return 0u;
    }();
    ASSERT_NE(rec, 0u);
    tr.Table().SetValue(rec, 1, "while executing the SCSI command...");
    tr.SetLanguageIndex(1);
    EXPECT_EQ(CatalogueText(tr, 3) + CatalogueText(tr, 4), "Fehler while executing the SCSI command...");
}

}  // namespace
}  // namespace sonvira
