#pragma once
// Reading and writing PCM WAV files (RIFF "WAVE" with "fmt " and "data").
// Every file is treated as hostile: reads stay inside the file, nothing larger than
// the file is allocated, and a failure leaves nothing behind for the caller.

#include <cstdint>
#include <cstdio>
#include <string>

#include "SampleBlock.h"

namespace sonvira {

struct WavSound {
    SampleBlock block;
    int32_t size = 0;  // bytes in block, > 0
    int32_t rate = 0;  // frames per second
    bool stereo = false;
    bool is16Bit = false;
};

// Reads a PCM WAV file: format tag 1, 1 or 2 channels, 8 or 16 bits, a rate of 1 … 2^31 − 1
// frames per second, a non-empty "data" chunk after "fmt ". Returns false for anything else
// (the caller keeps its document).
bool ReadWav(const std::string& path, WavSound& out);

// What the Open command may do with a file, judged from its structure alone (the samples
// are not read): Readable is exactly what ReadWav takes. OtherSampleFormat is a well-formed
// RIFF WAVE file (format record, rate, a non-empty "data" chunk inside the file) whose
// samples are 24/32-bit PCM, 32/64-bit float or behind the extensible header. Refused is
// everything else: a damaged or missing file, or a format neither path takes. Any thread.
enum class WavLayout { Readable, OtherSampleFormat, Refused };
WavLayout InspectWav(const std::string& path);

// Writes the block in the canonical 44-byte-header layout (pad byte after odd data).
// The file appears under `path` only once it is written whole: it is written to a
// temporary file in the same folder and renamed over the target, so a failed write
// never destroys an existing file; a file this user may not write is left alone. Returns
// false on any failure.
bool WriteWav(const std::string& path, const uint8_t* block, bool stereo, bool is16Bit,
              int32_t rate, int32_t size);

// The canonical header for a block of `dataSize` bytes (44 bytes).
void MakeWavHeader(uint8_t header[44], bool stereo, bool is16Bit, int32_t rate, uint32_t dataSize);

// Creates an empty file (mode 0600) named `dir` (a '/' is appended when missing) + prefix +
// the smallest number from 0 upward that is free + extension, e.g. "<dir>/tempwav0.wav",
// and returns its name; empty when no file can be made there. The name is taken
// atomically: a file or link that exists under it (another copy's, a planted one) is
// passed over, never opened.
std::string CreateTempWav(std::string dir, const std::string& prefix, const std::string& extension);

// Opens `path` for writing from the start as a file of this user alone (0600 when made),
// refusing to follow a symbolic link there. Null on failure.
std::FILE* OpenTempForWriting(const std::string& path);

}  // namespace sonvira
