#pragma once
// The program's own settings, in a small text file beside options.dat (which keeps its
// four-byte language index for the programs and users that know it): one "key=value" per
// line, UTF-8. Keys this version does not know are kept as they are.
//
// A damaged line (no '=', a key with other characters than letters, digits, '.' and '_',
// a NUL byte) is skipped and left out of the next save; the other lines count. A file of
// more than 1 MiB is ignored as a whole: settings are conveniences, never worth a refusal
// to start.
//
// Several copies of the program share the file. A save takes an advisory lock (flock on
// "<file>.lock"), reads what the file holds now and joins this copy's changes into it:
// a key takes this copy's value only where this copy changed it since it last read or
// saved the file; a list group (see JoinListWith) is joined as a whole. The file is
// replaced only when the new one is complete, and never when this user may not write it;
// it is readable by its owner alone (mode 0600), as it lists the user's files.
// Plain C++; one thread at a time per object.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sonvira {

class SettingsFile {
public:
    // How a list kept under one key prefix ("recent.") joins across copies: given this
    // copy's settings and the file's, it writes the joined list into `joined` (which holds
    // the file's keys with this copy's other changes).
    using ListJoin = std::function<void(const SettingsFile& ours, const SettingsFile& theirs, SettingsFile& joined)>;

    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    // Reads the file; a missing or oversized one gives no settings. True when it was read.
    bool Load();
    // Joins and writes as described above; afterwards this object holds what was written.
    // False when the file cannot be written (no folder, a write-protected file); this
    // object then keeps its own values.
    bool Save();

    std::optional<std::string> Get(const std::string& key) const;
    bool GetBool(const std::string& key, bool fallback) const;
    // Keys are letters, digits, '.' and '_'; values one line. Anything else is not stored.
    void Set(const std::string& key, const std::string& value);
    void SetBool(const std::string& key, bool value) { Set(key, value ? "true" : "false"); }
    // Forgets every key that begins with `prefix` (a list about to be written afresh).
    void RemoveFrom(const std::string& prefix);

    // The keys under `prefix` form one list that saving joins through `join`.
    void JoinListWith(std::string prefix, ListJoin join);

private:
    using Values = std::map<std::string, std::string>;
    bool InList(const std::string& key) const;
    Values JoinedWith(const SettingsFile& theirs) const;

    std::string path_;
    Values values_;
    Values saved_;  // what the file held when this copy last read or wrote it
    std::vector<std::pair<std::string, ListJoin>> lists_;
};

}  // namespace sonvira
