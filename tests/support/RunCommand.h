#pragma once
// Runs a shell command for a test and gives its standard output, to check our files with
// independent tools (dbfdump, …).

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace sonvira::test {

inline std::string RunCommand(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return out;
    std::array<char, 4096> buffer {};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) out.append(buffer.data(), n);
    return out;
}

inline bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0;
}

}  // namespace sonvira::test
