#pragma once
// The program's settings file (settings.conf in the data folder) as the window uses it:
// read, with the recent files and the places in files joined by time across the copies
// of the program that save it. Plain C++.

#include <string>

#include "SettingsFile.h"

namespace sonvira {

SettingsFile LoadProgramSettings(const std::string& path);

}  // namespace sonvira
