// The WAV reader of the Open command on arbitrary file bytes. Whatever it accepts must
// describe a block it really holds: every byte of it is read once. (The rate is taken as
// stored, also 0 or a value beyond the document's signed field; playback copes with both.)
// The structure check that sorts files for the Open command must agree with the reader:
// exactly the files it calls Readable are read.

#include <cstddef>
#include <cstdint>

#include "ScratchDir.h"
#include "WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const sonvira::fuzz::ScratchDir scratch;
    const std::string path = scratch.Write("input.wav", data, size);
    const bool readable = sonvira::InspectWav(path) == sonvira::WavLayout::Readable;
    sonvira::WavSound sound;
    const bool read = sonvira::ReadWav(path, sound);
    if (read != readable) __builtin_trap();
    if (!read) return 0;
    if (sound.size <= 0) __builtin_trap();
    unsigned sum = 0;
    for (int32_t i = 0; i < sound.size; ++i) sum += sound.block.get()[i];
    volatile unsigned sink = sum;  // keeps the reads
    (void)sink;
    return 0;
}
