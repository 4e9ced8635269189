#pragma once
// The files opened last, newest first, for the "Zuletzt geöffnet" menu; kept in the
// settings file as recent.1 … recent.8. Plain C++; one thread at a time.

#include <cstddef>
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

    const std::vector<std::string>& Paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
};

}  // namespace sonvira
