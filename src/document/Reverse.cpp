#include "Reverse.h"

#include <algorithm>

#include "SampleView.h"

namespace sonvira {

EditResult Reverse(AudioDocument& doc) {
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t n = doc.FrameCount();
    const SampleView view(doc);
    const int bpf = view.BytesPerFrame();
    for (int64_t k = 0; k <= (range.hi - range.lo) / 2; ++k) {
        const int64_t i = range.lo + k;
        const int64_t j = range.hi - k;
        if (i >= n || j >= n) continue;
        std::swap_ranges(view.FrameBytes(i), view.FrameBytes(i) + bpf, view.FrameBytes(j));
    }
    return EditResult::SamplesChanged;
}

}  // namespace sonvira
