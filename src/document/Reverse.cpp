#include "Reverse.h"

#include <algorithm>

#include "LockedChunks.h"
#include "SampleView.h"

namespace sonvira {

EditResult Reverse(AudioDocument& doc) {
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t n = doc.FrameCount();
    const SampleView view(doc);
    const int bpf = view.BytesPerFrame();
    ForEachLockedChunk(doc, 0, (range.hi - range.lo) / 2, [&](int64_t k) {
        const int64_t i = range.lo + k;
        const int64_t j = range.hi - k;
        if (i >= n || j >= n) return;
        std::swap_ranges(view.FrameBytes(i), view.FrameBytes(i) + bpf, view.FrameBytes(j));
    });
    return EditResult::SamplesChanged;
}

}  // namespace sonvira
