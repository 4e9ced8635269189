#pragma once
// The reason a sound file was not opened, for the line under "Konnte Datei nicht öffnen!":
// what the file system shows (missing, unreadable, empty, a folder), else what its
// content shows.

#include <string>

namespace sonvira {

// One German sentence (translated by the window), never empty. Reads the file; any thread.
const char* WhyNotOpened(const std::string& path);

}  // namespace sonvira
