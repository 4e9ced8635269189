#include "SeedTranslationTable.h"

#include "ShippedTranslations.h"
#include "TDbfTable.h"
#include "Win1252.h"

#include <fcntl.h>
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

bool WriteAll(int fd, const std::vector<char>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

SeedOutcome CopyInto(const std::string& shippedTable, const std::string& userTable) {
    std::ifstream in(shippedTable, std::ios::binary);
    if (!in) return {SeedOutcome::Kind::NoShippedTable, 0, 0, shippedTable + " cannot be read"};
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string partial = userTable + ".new";
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return {SeedOutcome::Kind::Failed, 0, 0, partial + " cannot be created"};
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    // Never over a table that appeared meanwhile (another start of the program).
    if (!written || !closed || ::link(partial.c_str(), userTable.c_str()) != 0) {
        ::unlink(partial.c_str());
        return {SeedOutcome::Kind::Failed, 0, 0, userTable + " cannot be written"};
    }
    ::unlink(partial.c_str());
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
