#pragma once
// The files opened last, newest first, for the "Zuletzt geöffnet" menu; kept in the
// settings file as recent.1 … recent.8, each with the time it was opened (ListEntryTime),
// so that the lists of copies running at once join by time. Plain C++; one thread at a
// time.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SettingsFile.h"

namespace sonvira {

class RecentFiles {
public:
    static constexpr std::size_t kMax = 8;

    // Takes the list from the settings; entries that cannot be paths (empty) are skipped.
    void Load(const SettingsFile& settings);
    // Writes the list into the settings, replacing what they held.
    void Store(SettingsFile& settings) const;

    // `path` becomes the newest entry (moved up when already listed); the oldest beyond
    // kMax falls off. A path the settings file cannot hold (a line break in it) is ignored.
    void Add(const std::string& path);
    // Takes in another copy's list: every file of both, each at its later opening, newest
    // first, kMax at most.
    void Merge(const RecentFiles& other);
    // The SettingsFile::ListJoin for the "recent." keys.
    static void Join(const SettingsFile& ours, const SettingsFile& theirs, SettingsFile& joined);

    std::vector<std::string> Paths() const;

private:
    struct Entry {
        std::string path;
        int64_t opened = 0;  // see ListEntryTime
    };
    std::vector<Entry> entries_;
};

}  // namespace sonvira
