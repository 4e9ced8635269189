#pragma once
// What the command line asks for before any window: a short usage text, the version, or
// the program itself (with at most one file name, the sound to open).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace sonvira {

enum class CommandLineRequest { Run, Help, Version };

// "-h"/"--help" and "--version" anywhere before a "--" (help wins over version); anything
// else runs the program, which takes its first argument as the file to open.
CommandLineRequest ReadCommandLineRequest(const std::vector<std::string>& arguments);

// Which argument names the sound to open: the first one, or the one after a leading "--"
// whatever it looks like ("sonvira -- -x.wav" opens "-x.wav"). Nothing when there is none.
std::optional<std::size_t> FileArgument(const std::vector<std::string>& arguments);

// The texts printed for Help and Version, each ending in a line break.
std::string UsageText();
std::string VersionText();

}  // namespace sonvira
