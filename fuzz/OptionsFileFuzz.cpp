// options.dat on arbitrary bytes: the stored language index, and that writing it back
// gives the same index again.

#include <cstddef>
#include <cstdint>

#include "OptionsFile.h"
#include "ScratchDir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const sonvira::fuzz::ScratchDir scratch;
    const auto index = sonvira::ReadStoredLanguageIndex(scratch.Write("options.dat", data, size));
    if (index.has_value() != (size >= 4)) __builtin_trap();
    if (!index) return 0;
    const std::string copy = scratch.File("written.dat");
    if (!sonvira::WriteLanguageIndex(copy, *index)) __builtin_trap();
    if (sonvira::ReadStoredLanguageIndex(copy) != index) __builtin_trap();
    return 0;
}
