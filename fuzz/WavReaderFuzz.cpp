// The WAV reader of the Open command on arbitrary file bytes. Whatever it accepts must
// describe a block it really holds: every byte of it is read once. (The rate is taken as
// stored, also 0 or a value beyond the document's signed field; playback copes with both.)

#include <cstddef>
#include <cstdint>

#include "ScratchDir.h"
#include "WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const sonvira::fuzz::ScratchDir scratch;
    sonvira::WavSound sound;
    if (!sonvira::ReadWav(scratch.Write("input.wav", data, size), sound)) return 0;
    if (sound.size <= 0) __builtin_trap();
    unsigned sum = 0;
    for (int32_t i = 0; i < sound.size; ++i) sum += sound.block.get()[i];
    volatile unsigned sink = sum;  // keeps the reads
    (void)sink;
    return 0;
}
