#pragma once
// The program's own English and French texts, kept in the repository as a readable table
// (src/i18n/shipped/translations.tsv) and written into translate.dbf at build time.
//
// The file: UTF-8, one row per German text, "German<TAB>English<TAB>French"; lines
// starting with '#' and empty lines are skipped; "\t", "\n" and "\\" are the only escapes.
//
// Merging into a table never overwrites a cell a user filled in and never deletes a
// record: it fills the English and French cells that are empty in live records whose
// German text it knows, and appends a record for each German text the table lacks.
// Pure functions over a TDbfTable; one thread at a time.

#include "TDbfTable.h"

#include <cstdint>
#include <istream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace sonvira {

// One row, UTF-8.
struct ShippedTranslation {
    std::string German;
    std::string English;
    std::string French;
};

class EShippedTranslationsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads every row. Throws EShippedTranslationsError naming the line of a row that does not
// hold exactly three fields or that uses an unknown escape.
std::vector<ShippedTranslation> ReadShippedTranslations(std::istream& in);

// What would go wrong in the table: a German text twice, a cell empty, outer blanks on
// the German text (the table's keys have none), a character without a Windows-1252 byte,
// a text longer than a field. One line per problem; empty when the rows are sound.
std::vector<std::string> CheckShippedTranslations(std::span<const ShippedTranslation> rows);

struct MergeCount {
    uint32_t Appended = 0;  // records added for German texts the table lacked
    uint32_t Filled = 0;    // existing records whose empty English or French cells were filled
};

// Merges `rows` into the open, writable `table` whose first three fields are German,
// English and French. Writes only records that change, so a second merge of the same
// rows leaves the file as it is. Throws EDbfError when the table refuses a write.
MergeCount MergeShippedTranslations(TDbfTable& table, std::span<const ShippedTranslation> rows);

}  // namespace sonvira
