#include "FormatConversion.h"

#include <algorithm>
#include <limits>

#include "BlockAllocation.h"
#include "SampleView.h"

namespace sonvira {
namespace {

int FrameBytes(const SampleFormat& f) { return (f.IsStereo ? 2 : 1) * (f.Is16Bit ? 2 : 1); }

struct Pair {
    int left = 0;
    int right = 0;
};

// One source frame as 16-bit left and right values.
Pair ReadFrame(const uint8_t* p, const SampleFormat& f) {
    if (f.Is16Bit) {
        const int left = ReadS16(p);
        return {left, f.IsStereo ? ReadS16(p + 2) : left};
    }
    const int left = (p[0] - 128) * 256;
    return {left, f.IsStereo ? (p[1] - 128) * 256 : left};
}

void WriteFrame(uint8_t* p, const SampleFormat& f, Pair v) {
    if (f.Is16Bit) {
        WriteS16(p, v.left);
        if (f.IsStereo) WriteS16(p + 2, v.right);
        return;
    }
    // The high byte with its top bit inverted (the shift is arithmetic).
    p[0] = static_cast<uint8_t>((v.left >> 8) + 128);
    if (f.IsStereo) p[1] = static_cast<uint8_t>((v.right >> 8) + 128);
}

}  // namespace

int64_t ConvertedSize(int32_t dataSize, const SampleFormat& from, const SampleFormat& to) {
    int64_t s = dataSize;
    if (to.Is16Bit && !from.Is16Bit) s *= 2;
    if (!to.Is16Bit && from.Is16Bit) s /= 2;
    if (to.IsStereo && !from.IsStereo) s *= 2;
    if (!to.IsStereo && from.IsStereo) s /= 2;
    if (s > 0 && to.SampleRate > std::numeric_limits<int64_t>::max() / s) {
        return std::numeric_limits<int64_t>::max();
    }
    return s * to.SampleRate / from.SampleRate;
}

EditResult ChangeSampleFormat(AudioDocument& doc, const SampleFormat& to) {
    if (doc.DataSize <= 0 || !doc.SampleData) return EditResult::Unchanged;
    const SampleFormat from{doc.SampleRate.load(), doc.IsStereo, doc.Is16Bit};
    if (from.SampleRate <= 0 || to.SampleRate <= 0) return EditResult::RateOutOfRange;
    const int64_t newSize = ConvertedSize(doc.DataSize, from, to);
    if (newSize > std::numeric_limits<int32_t>::max()) return EditResult::SizeTooLarge;
    SampleBlock block = AllocateBlock(newSize);
    if (!block) return EditResult::OutOfMemory;

    const int64_t oldBpf = FrameBytes(from), newBpf = FrameBytes(to);
    const int64_t oldFrames = doc.DataSize / oldBpf;
    const int64_t frames = newSize / newBpf;
    for (int64_t j = 0; j < frames; ++j) {
        const int64_t i = std::min(j * from.SampleRate / to.SampleRate, oldFrames - 1);
        const Pair v = i >= 0 ? ReadFrame(doc.SampleData + i * oldBpf, from) : Pair{};
        WriteFrame(block.get() + j * newBpf, to, v);
    }
    doc.InstallBlock(block.release(), static_cast<int32_t>(newSize), to.SampleRate, to.IsStereo,
                     to.Is16Bit);
    return EditResult::BlockReplaced;
}

}  // namespace sonvira
