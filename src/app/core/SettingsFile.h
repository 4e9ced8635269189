#pragma once
// The program's own settings, in a small text file beside options.dat (which keeps its
// four-byte language index for the programs and users that know it): one "key=value" per
// line, UTF-8. Keys this version does not know are kept as they are.
//
// A damaged file (a line without '=', a key with other characters than letters, digits,
// '.' and '_', a NUL byte, or more than 1 MiB) is ignored as a whole and written afresh at
// the next save: settings are conveniences, never worth a refusal to start.
//
// Saving replaces the file only when the new one is complete, and never replaces a file
// this user may not write. Plain C++; one thread at a time.

#include <map>
#include <optional>
#include <string>

namespace sonvira {

class SettingsFile {
public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    // Reads the file; a missing or damaged one gives no settings. True when it was read.
    bool Load();
    // False when the file cannot be written (no folder, a write-protected file).
    bool Save() const;

    std::optional<std::string> Get(const std::string& key) const;
    bool GetBool(const std::string& key, bool fallback) const;
    // Keys are letters, digits, '.' and '_'; values one line. Anything else is not stored.
    void Set(const std::string& key, const std::string& value);
    void SetBool(const std::string& key, bool value) { Set(key, value ? "true" : "false"); }
    // Forgets every key that begins with `prefix` (a list about to be written afresh).
    void RemoveFrom(const std::string& prefix);

private:
    std::string path_;
    std::map<std::string, std::string> values_;
};

}  // namespace sonvira
