#pragma once
// options.dat in the program's folder: the language index as four bytes, signed
// 32-bit little-endian, and nothing else.

#include <cstdint>
#include <optional>
#include <string>

namespace sonvira {

// The stored index, or nothing when the file is missing, unreadable or shorter than
// four bytes. The value is returned as stored; callers decide what an unknown one means.
std::optional<int32_t> ReadStoredLanguageIndex(const std::string& path);

// Creates or replaces the file with the index, as a whole (PendingFile): a crash leaves the
// old index or the new one. Returns false when it cannot be written.
bool WriteLanguageIndex(const std::string& path, int32_t index);

}  // namespace sonvira
