#pragma once
// Every key the program answers to, for the "Tastenkürzel" page: the keys in Qt's
// portable notation ("Ctrl+Alt+F11"; the page shows them in the desktop's own words) and
// what they do, in German, translated when shown.

#include <vector>

namespace sonvira {

struct ProgramKey {
    const char* keys;  // one or more portable key sequences, ", " between alternatives
    const char* does;  // German
};

const std::vector<ProgramKey>& ProgramKeys();

}  // namespace sonvira
