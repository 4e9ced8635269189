#pragma once
// Where the user was in each file: the selection, zoom, scroll position, speed and pitch,
// so that reopening a file picks up there. A file is known by its path, size and
// modification time; once it has changed it starts fresh. Kept in the settings file as
// place.1 … place.100, the most recently left first, each with the time it was left
// (ListEntryTime), so that copies running at once join their memories file by file.
// Plain C++; one thread at a time.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SettingsFile.h"

namespace sonvira {

// What tells one state of a file from another: its size in bytes and its modification
// time in nanoseconds of the file system's clock.
struct FileStamp {
    uint64_t size = 0;
    int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};

// The file's stamp now; nothing when it cannot be read (missing, no permission).
std::optional<FileStamp> StampOf(const std::string& path);

// The place in a sound: sample positions of the selection, the zoom (samples per column),
// the scroll bar's position, and the speed and pitch fields.
struct FilePlace {
    int32_t selAnchor = 0;
    int32_t selEnd = 0;
    int32_t zoom = 1;
    int32_t scroll = 0;
    double speed = 1.0;
    double pitch = 1.0;
    bool operator==(const FilePlace&) const = default;
};

class FileMemory {
public:
    static constexpr std::size_t kMax = 100;

    // Takes the entries from the settings; a damaged entry is skipped, the others stay.
    void Load(const SettingsFile& settings);
    // Writes the entries into the settings, replacing what they held.
    void Store(SettingsFile& settings) const;

    // Remembers `place` for the file at `path` in the state `stamp`, as the newest entry;
    // the oldest beyond kMax is forgotten. A path with a line break is not kept.
    void Remember(const std::string& path, const FileStamp& stamp, const FilePlace& place);
    // The place remembered for `path`, if the file is still in the state `stamp`.
    std::optional<FilePlace> Recall(const std::string& path, const FileStamp& stamp) const;
    // Takes in another copy's memory: per file the entry left later, the most recently
    // left first, kMax at most.
    void Merge(const FileMemory& other);
    // The SettingsFile::ListJoin for the "place." keys.
    static void Join(const SettingsFile& ours, const SettingsFile& theirs, SettingsFile& joined);

private:
    struct Entry {
        std::string path;
        FileStamp stamp;
        FilePlace place;
        int64_t left = 0;  // see ListEntryTime
    };
    std::vector<Entry> entries_;
};

}  // namespace sonvira
