#include "Crossfade.h"

#include <algorithm>
#include <cstring>

#include "BlockAllocation.h"
#include "SampleView.h"

namespace sonvira {
namespace {

int FadeValue8(int b, double g) { return static_cast<int>((b - 128) * g + 128); }

// Frames 0 … d (below the frame count) with g = i / d. Only 8-bit mono mixes in the tail
// frame N - d + i; the other formats only fade in. Needs d > 0 and d × bpf < DataSize.
void FadeStart(AudioDocument& doc, int64_t d) {
    const SampleView view(doc);
    const int64_t n = doc.FrameCount();
    const bool mixTail = !doc.Is16Bit && !doc.IsStereo;
    for (int64_t i = 0; i <= d && i < n; ++i) {
        const double g = static_cast<double>(i) / static_cast<double>(d);
        for (int ch = 0; ch < view.Channels(); ++ch) {
            const int x = view.Get(i, ch);
            if (view.Is16Bit()) {
                view.Set(i, ch, static_cast<int>(x * g));
            } else if (!mixTail) {
                view.Set(i, ch, FadeValue8(x, g));
            } else {
                // At i = d the tail weight is 0 and the tail frame would lie past the end.
                const int t = i < d ? FadeValue8(view.Get(n - d + i, ch), 1.0 - g) : 128;
                // Both truncations may round the sum of two low values down to -1;
                // wrapped, that would become the loudest positive byte: a click.
                view.Set(i, ch, std::clamp(FadeValue8(x, g) + t - 128, 0, 255));
            }
        }
    }
}

}  // namespace

EditResult CrossfadeEndOntoStart(AudioDocument& doc, int64_t d) {
    if (doc.DataSize <= 0) return EditResult::Unchanged;
    if (d < 0) d = 0;
    const int64_t bpf = doc.BytesPerFrame();
    const int64_t size = doc.DataSize;
    const int64_t c = d * bpf;
    const int64_t moved = (d / 2) * bpf;
    const bool fades = c < size;
    if (fades && d == 0) return EditResult::InvalidFloatingPoint;
    if (size < c + moved) return EditResult::SoundTooShort;

    const int64_t newSize = size - c;
    SampleBlock block = AllocateBlock(newSize);
    if (!block) return EditResult::OutOfMemory;
    if (fades) FadeStart(doc, d);
    if (newSize > moved) {
        std::memcpy(block.get(), doc.SampleData + moved, static_cast<size_t>(newSize - moved));
    }
    if (moved > 0) {
        std::memcpy(block.get() + (newSize - moved), doc.SampleData, static_cast<size_t>(moved));
    }
    doc.InstallBlock(block.release(), static_cast<int32_t>(newSize));
    return EditResult::BlockReplaced;
}

}  // namespace sonvira
