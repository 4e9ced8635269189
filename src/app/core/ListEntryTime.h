#pragma once
// When an entry of a list in the settings file was made, so that copies of the program
// saving the same list can tell whose entry is newer. Kept in front of the entry's text
// as "@<nanoseconds of the system clock> "; an entry an older version wrote has no such
// field and counts as older than every timed one. Plain C++.

#include <cstdint>
#include <string>

namespace sonvira {

struct TimedText {
    int64_t time = 0;  // 0: written by an older version
    std::string text;
};

TimedText ReadTimedText(const std::string& value);
std::string WriteTimedText(int64_t time, const std::string& text);

// The time for an entry made now, later than `newest` (the newest entry already in the
// list), so the order within one copy holds even when the clock stands still.
int64_t EntryTimeAfter(int64_t newest);

}  // namespace sonvira
