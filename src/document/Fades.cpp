#include "Fades.h"

#include <algorithm>

#include "LockedChunks.h"
#include "SampleView.h"

namespace sonvira {
namespace {

void ScaleFrame(const SampleView& view, int64_t frame, double g) {
    for (int ch = 0; ch < view.Channels(); ++ch) {
        const int x = view.Get(frame, ch);
        // The conversion to int truncates toward zero; 0 <= g <= 1 keeps it in range.
        const int y = view.Is16Bit() ? static_cast<int>(x * g)
                                     : static_cast<int>((x - 128) * g + 128);
        view.Set(frame, ch, y);
    }
}

}  // namespace

EditResult FadeIn(AudioDocument& doc, int64_t d) {
    if (d <= 0) return EditResult::InvalidFloatingPoint;
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t end = std::min<int64_t>({range.lo + d, range.hi - 1, doc.FrameCount() - 1});
    const SampleView view(doc);
    ForEachLockedChunk(doc, range.lo, end, [&](int64_t i) {
        ScaleFrame(view, i, static_cast<double>(i - range.lo) / static_cast<double>(d));
    });
    return EditResult::SamplesChanged;
}

EditResult FadeOut(AudioDocument& doc, int64_t d) {
    if (d <= 0) return EditResult::InvalidFloatingPoint;
    const FrameRange range = doc.SelectionFrameRange();
    if (d > range.hi) return EditResult::Unchanged;
    const int64_t begin = std::max<int64_t>(range.hi - d, range.lo);
    const int64_t end = std::min<int64_t>(range.hi, doc.FrameCount() - 1);
    const SampleView view(doc);
    ForEachLockedChunk(doc, begin, end, [&](int64_t i) {
        ScaleFrame(view, i, static_cast<double>(range.hi - i) / static_cast<double>(d));
    });
    return EditResult::SamplesChanged;
}

}  // namespace sonvira
