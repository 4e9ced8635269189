#include "AudioDocument.h"

#include <algorithm>
#include <cstdlib>

namespace sonvira {

AudioDocument::~AudioDocument() { ReleaseBlock(); }

int32_t AudioDocument::FrameCount() const {
    int32_t n = DataSize;
    if (Is16Bit) n /= 2;
    if (IsStereo) n /= 2;
    return n;
}

FrameRange AudioDocument::SelectionFrameRange() const {
    const int32_t n = FrameCount();
    if (SelAnchor == SelEnd) return {0, n};
    // Compared as unsigned numbers: a stray negative value counts as huge and is
    // then limited to the frame count below.
    uint32_t lo = std::min(static_cast<uint32_t>(SelAnchor), static_cast<uint32_t>(SelEnd));
    uint32_t hi = std::max(static_cast<uint32_t>(SelAnchor), static_cast<uint32_t>(SelEnd));
    if (IsStereo) {
        lo /= 2;
        hi /= 2;
    }
    const auto limit = static_cast<uint32_t>(n);
    return {static_cast<int32_t>(std::min(lo, limit)), static_cast<int32_t>(std::min(hi, limit))};
}

void AudioDocument::MoveSoundTo(AudioDocument& to) {
    if (&to == this) return;
    to.InstallBlock(SampleData, DataSize, SampleRate.load(), IsStereo, Is16Bit);
    to.SelAnchor = SelAnchor;
    to.SelEnd = SelEnd;
    SampleData = nullptr;
    DataSize = 0;
}

void AudioDocument::InstallBlock(uint8_t* block, int32_t size, int32_t rate, bool stereo,
                                 bool is16Bit) {
    InstallBlock(block, size);
    SampleRate = rate;
    IsStereo = stereo;
    Is16Bit = is16Bit;
}

void AudioDocument::InstallBlock(uint8_t* block, int32_t size) {
    ReleaseBlock();
    SampleData = block;
    DataSize = size;
    SelAnchor = 0;
    SelEnd = 0;
}

void AudioDocument::ReleaseBlock() {
    std::free(SampleData);
    SampleData = nullptr;
    DataSize = 0;
}

}  // namespace sonvira
