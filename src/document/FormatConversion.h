#pragma once
// "Sampleformat ändern...": converts the whole document to another rate, channel count
// and sample width by point sampling (no interpolation, no filter). Stereo becomes mono
// by keeping the left channel, mono becomes stereo by doubling it; widths convert by
// scaling with 256.

#include <cstdint>

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

struct SampleFormat {
    int32_t SampleRate = 0;  // frames per second, 1 … 200000 from the dialog
    bool IsStereo = false;
    bool Is16Bit = false;
};

// Size in bytes of the converted block: the old size scaled for width, then channels
// (each step truncating), then × new rate ÷ old rate, all in 64 bits. May exceed the
// 32-bit range; INT64_MAX when even 64 bits overflow. Needs from.SampleRate > 0.
int64_t ConvertedSize(int32_t dataSize, const SampleFormat& from, const SampleFormat& to);

// Converts the document to `to` and installs the new block with the new format,
// selection 0 (BlockReplaced). Output frame j copies source frame (j × old rate) ÷ new
// rate; a source frame beyond the last whole frame (the old size not a whole number of
// frames) is read as the last whole frame, or as silence when there is none. Bytes after
// the last whole output frame are 0. Leaves the document as it was and returns:
//  - Unchanged for an empty document;
//  - RateOutOfRange when the old or the new rate is not positive;
//  - SizeTooLarge when the new size exceeds INT32_MAX bytes;
//  - OutOfMemory.
// One thread at a time (a job's worker); replaces the block, so playback stops first.
EditResult ChangeSampleFormat(AudioDocument& doc, const SampleFormat& to);

}  // namespace sonvira
