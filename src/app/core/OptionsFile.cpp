#include "OptionsFile.h"

#include "PendingFile.h"

#include <cstdio>

namespace sonvira {

std::optional<int32_t> ReadStoredLanguageIndex(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    unsigned char b[4];
    const bool complete = std::fread(b, 1, 4, f) == 4;
    std::fclose(f);
    if (!complete) return std::nullopt;
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                uint32_t(b[3]) << 24);
}

bool WriteLanguageIndex(const std::string& path, int32_t index) {
    const auto v = static_cast<uint32_t>(index);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    PendingFile file(path);
    return file.Ok() && file.Write(b, sizeof b) && file.Commit();
}

}  // namespace sonvira
