#include "ShippedTranslations.h"

#include "Win1252.h"

#include <map>
#include <set>

namespace sonvira {
namespace {

// Undoes the file's escapes; false on a backslash before anything but t, n or another one.
bool Unescape(const std::string& field, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) return false;
        switch (field[i]) {
            case 't': out += '\t'; break;
            case 'n': out += '\n'; break;
            case '\\': out += '\\'; break;
            default: return false;
        }
    }
    return true;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t') fields.emplace_back();
        else fields.back() += c;
    }
    return fields;
}

// A text survives the table when its Windows-1252 form reads back as the same UTF-8.
bool FitsWindows1252(const std::string& utf8) { return Win1252ToUtf8(Utf8ToWin1252(utf8)) == utf8; }

// The German text as the table holds its key: cut to the field, trailing blanks dropped.
std::string StoredKey(const TDbfTable& table, const std::string& germanUtf8) {
    std::string key = Utf8ToWin1252(germanUtf8).substr(0, table.Fields().front().Length);
    key.erase(key.find_last_not_of(' ') + 1);
    return key;
}

std::map<std::string, std::vector<uint32_t>> LiveRecordsByGerman(const TDbfTable& table) {
    std::map<std::string, std::vector<uint32_t>> records;
    for (uint32_t r = 1; r <= table.RecordCount(); ++r) {
        const std::string prefix = table.ReadRecordPrefix(r, 0);
        if (prefix.empty() || prefix[0] == '*') continue;
        records[table.FieldFromPrefix(prefix, 0)].push_back(r);
    }
    return records;
}

// Fills the empty English and French cells of one record; true when it wrote.
bool FillEmptyCells(TDbfTable& table, uint32_t recordNo, const std::string& english, const std::string& french) {
    std::vector<std::string> values = table.Values(recordNo);
    bool changed = false;
    for (auto [column, text] : {std::pair{1u, &english}, std::pair{2u, &french}}) {
        if (column < values.size() && values[column].empty() && !text->empty()) {
            values[column] = *text;
            changed = true;
        }
    }
    if (changed) table.WriteRecord(recordNo, values);
    return changed;
}

}  // namespace

std::vector<ShippedTranslation> ReadShippedTranslations(std::istream& in) {
    std::vector<ShippedTranslation> rows;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = SplitTabs(line);
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        if (fields.size() != 3)
            throw EShippedTranslationsError(where + "3 fields separated by tabs expected, found " +
                                            std::to_string(fields.size()));
        ShippedTranslation row;
        if (!Unescape(fields[0], row.German) || !Unescape(fields[1], row.English) || !Unescape(fields[2], row.French))
            throw EShippedTranslationsError(where + "only \\t, \\n and \\\\ are escapes");
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> CheckShippedTranslations(std::span<const ShippedTranslation> rows) {
    std::vector<std::string> problems;
    std::set<std::string> seen;
    for (const ShippedTranslation& row : rows) {
        const std::string name = "\"" + row.German + "\": ";
        if (!seen.insert(row.German).second) problems.push_back(name + "German text listed twice");
        if (row.German.empty() || row.English.empty() || row.French.empty()) problems.push_back(name + "empty cell");
        if (!row.German.empty() && (row.German.front() == ' ' || row.German.back() == ' '))
            problems.push_back(name + "blanks around the German text");
        for (const std::string* text : {&row.German, &row.English, &row.French}) {
            if (!FitsWindows1252(*text)) problems.push_back(name + "\"" + *text + "\" has no Windows-1252 form");
            else if (Utf8ToWin1252(*text).size() > 255) problems.push_back(name + "longer than 255 characters");
        }
    }
    return problems;
}

MergeCount MergeShippedTranslations(TDbfTable& table, std::span<const ShippedTranslation> rows) {
    MergeCount count;
    if (table.Fields().empty()) return count;
    auto records = LiveRecordsByGerman(table);
    for (const ShippedTranslation& row : rows) {
        const std::string key = StoredKey(table, row.German);
        const std::string english = Utf8ToWin1252(row.English);
        const std::string french = Utf8ToWin1252(row.French);
        if (key.empty()) continue;
        auto found = records.find(key);
        if (found == records.end()) {
            const std::string values[] = {key, english, french};
            records[key].push_back(table.AppendRecord(values));
            ++count.Appended;
            continue;
        }
        for (uint32_t recordNo : found->second)
            if (FillEmptyCells(table, recordNo, english, french)) ++count.Filled;
    }
    return count;
}

}  // namespace sonvira
