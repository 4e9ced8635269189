#include "SeedTranslationTable.h"

#include "PendingFile.h"
#include "ShippedTranslations.h"
#include "TDbfTable.h"
#include "Win1252.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace sonvira {
namespace {

// The live rows of a table laid out as translate.dbf is: German, English, French first.
std::vector<ShippedTranslation> RowsOf(const TDbfTable& table) {
    std::vector<ShippedTranslation> rows;
    for (uint32_t recordNo = 1; recordNo <= table.RecordCount(); ++recordNo) {
        if (table.IsDeleted(recordNo)) continue;
        const std::vector<std::string> values = table.Values(recordNo);
        if (values.size() < 3 || values[0].empty()) continue;
        rows.push_back({Win1252ToUtf8(values[0]), Win1252ToUtf8(values[1]), Win1252ToUtf8(values[2])});
    }
    return rows;
}

// Written under a temporary name and put into place whole, so that a start cut off midway
// leaves no partial table; never over a table another copy starting at the same moment
// made (and may already be using) from the same shipped one.
SeedOutcome CopyInto(const std::string& shippedTable, const std::string& userTable) {
    std::ifstream in(shippedTable, std::ios::binary);
    if (!in) return {SeedOutcome::Kind::NoShippedTable, 0, 0, shippedTable + " cannot be read"};
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PendingFile copy(userTable);
    const bool written = copy.Ok() && copy.Write(bytes.data(), bytes.size());
    if (!written || (!copy.CommitIfAbsent() && ::access(userTable.c_str(), F_OK) != 0))
        return {SeedOutcome::Kind::Failed, 0, 0, userTable + " cannot be written"};
    return {SeedOutcome::Kind::Copied, 0, 0, {}};
}

}  // namespace

SeedOutcome SeedTranslationTable(const std::string& shippedTable, const std::string& userTable) {
    TDbfTable shipped;
    shipped.SetReadOnly(true);
    try {
        shipped.Open(shippedTable);
    } catch (const EDbfError& error) {
        return {SeedOutcome::Kind::NoShippedTable, 0, 0, error.what()};
    }
    if (::access(userTable.c_str(), F_OK) != 0) {
        shipped.Close();
        return CopyInto(shippedTable, userTable);
    }
    const std::vector<ShippedTranslation> rows = RowsOf(shipped);
    TDbfTable user;
    try {
        user.Open(userTable);  // an existing file: opened, never created
        if (user.ReadOnly()) return {SeedOutcome::Kind::LeftAlone, 0, 0, user.DamageNote()};
        const MergeCount count = MergeShippedTranslations(user, rows);
        return {SeedOutcome::Kind::Merged, count.Appended, count.Filled, {}};
    } catch (const EDbfError& error) {
        return {SeedOutcome::Kind::LeftAlone, 0, 0, error.what()};
    }
}

}  // namespace sonvira
