#include "SettingsFile.h"

#include "PendingFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace sonvira {
namespace {

constexpr std::size_t kMaxFileBytes = 1024 * 1024;

bool IsKey(const std::string& key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '_';
    });
}

bool IsValue(const std::string& value) {
    return value.find_first_of(std::string("\n\r\0", 3)) == std::string::npos;
}

// Holds the advisory lock that makes read-join-write one step among the copies. Without a
// lock file (a folder this user may not write) the save goes on unlocked and will be
// refused by PendingFile anyway.
class FileLock {
public:
    explicit FileLock(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)) {
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

}  // namespace

bool SettingsFile::Load() {
    values_.clear();
    saved_.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() > kMaxFileBytes) return false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (IsKey(key) && IsValue(value)) values_[std::move(key)] = std::move(value);
    }
    saved_ = values_;
    return true;
}

bool SettingsFile::InList(const std::string& key) const {
    return std::any_of(lists_.begin(), lists_.end(), [&](const auto& list) { return key.starts_with(list.first); });
}

SettingsFile::Values SettingsFile::JoinedWith(const SettingsFile& theirs) const {
    SettingsFile joined(path_);
    joined.values_ = theirs.values_;
    std::set<std::string> keys;
    for (const Values* values : {&values_, &saved_})
        for (const auto& entry : *values) keys.insert(entry.first);
    for (const std::string& key : keys) {
        if (InList(key)) continue;
        const auto now = Get(key);
        const auto it = saved_.find(key);
        if (it != saved_.end() && now == it->second) continue;  // not changed here
        if (now) joined.values_[key] = *now;
        else joined.values_.erase(key);
    }
    for (const auto& [prefix, join] : lists_) join(*this, theirs, joined);
    return std::move(joined.values_);
}

bool SettingsFile::Save() {
    const FileLock lock(path_ + ".lock");
    SettingsFile theirs(path_);
    theirs.Load();
    Values joined = JoinedWith(theirs);
    std::string text;
    for (const auto& [key, value] : joined) text += key + "=" + value + "\n";
    PendingFile file(path_, FileReaders::OwnerOnly);  // it lists the user's files
    if (!file.Ok() || !file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()) || !file.Commit())
        return false;
    values_ = joined;
    saved_ = std::move(joined);
    return true;
}

std::optional<std::string> SettingsFile::Get(const std::string& key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool SettingsFile::GetBool(const std::string& key, bool fallback) const {
    const auto value = Get(key);
    if (value == "true") return true;
    if (value == "false") return false;
    return fallback;
}

void SettingsFile::Set(const std::string& key, const std::string& value) {
    if (IsKey(key) && IsValue(value)) values_[key] = value;
}

void SettingsFile::RemoveFrom(const std::string& prefix) {
    for (auto it = values_.lower_bound(prefix); it != values_.end() && it->first.starts_with(prefix);)
        it = values_.erase(it);
}

void SettingsFile::JoinListWith(std::string prefix, ListJoin join) {
    lists_.emplace_back(std::move(prefix), std::move(join));
}

}  // namespace sonvira
