#pragma once
// Runs a shell command for a test and gives its standard output, to check our files with
// independent tools (dbfdump, …). The command is ended after `seconds` (then killed five
// seconds later), so a tool that hangs fails the test instead of holding it.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace sonvira::test {

inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline std::string RunCommand(const std::string& command, int seconds = 120) {
    std::string out;
    const std::string limited = "timeout -k 5 " + std::to_string(seconds) + " sh -c " + ShellQuoted(command);
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(limited.c_str(), "r"), ::pclose);
    if (!pipe) return out;
    std::array<char, 4096> buffer {};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) out.append(buffer.data(), n);
    return out;
}

inline bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0;
}

}  // namespace sonvira::test
