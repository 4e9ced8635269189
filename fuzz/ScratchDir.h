#pragma once
// A private folder for one fuzzing process (under $TMPDIR or /tmp), removed when the
// process ends normally. Readers that take a file name get the input written there,
// rewritten for every input, so parallel fuzzers never share a file.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace sonvira::fuzz {

class ScratchDir {
public:
    ScratchDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/sonvira-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();  // nothing can be fuzzed without a folder
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    // Replaces the file `name` with the bytes and returns its path.
    std::string Write(const std::string& name, const uint8_t* data, size_t size) const {
        const std::string file = File(name);
        std::FILE* f = std::fopen(file.c_str(), "wb");
        if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
            std::abort();
        return file;
    }

private:
    std::string path_;
};

}  // namespace sonvira::fuzz
