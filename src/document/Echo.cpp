#include "Echo.h"

#include <algorithm>

#include "LockedChunks.h"
#include "SampleView.h"

namespace sonvira {

EditResult Echo(AudioDocument& doc, int64_t d) {
    if (d <= 0) return EditResult::Unchanged;
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t last = std::min<int64_t>(range.hi, doc.FrameCount() - 1);
    const SampleView view(doc);
    // In order: each frame mixes in the already echoed frame d before it.
    ForEachLockedChunk(doc, range.lo + d, last, [&](int64_t i) {
        for (int ch = 0; ch < view.Channels(); ++ch) {
            // Integer division truncates toward zero for 16-bit values and rounds the
            // (non-negative) sum of two bytes down.
            view.Set(i, ch, (view.Get(i, ch) + view.Get(i - d, ch)) / 2);
        }
    });
    return EditResult::SamplesChanged;
}

}  // namespace sonvira
