#include "Volume.h"

#include <algorithm>
#include <cstdlib>

#include "LockedChunks.h"
#include "SampleView.h"

namespace sonvira {
namespace {

// Replaces every value of the range by (v × mul) ÷ div, clamped, v centred on 0.
void ScaleRange(AudioDocument& doc, int mul8, int mul16, int div) {
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t last = std::min<int64_t>(range.hi, doc.FrameCount() - 1);
    const SampleView view(doc);
    ForEachLockedChunk(doc, range.lo, last, [&](int64_t i) {
        for (int ch = 0; ch < view.Channels(); ++ch) {
            const int x = view.Get(i, ch);
            if (view.Is16Bit()) {
                view.Set(i, ch, std::clamp(x * mul16 / div, -32768, 32767));
            } else {
                view.Set(i, ch, std::clamp((x - 128) * mul8 / div, -128, 127) + 128);
            }
        }
    });
}

// Only reads: the renderer reads the same samples meanwhile, which is no conflict.
int PeakOf(AudioDocument& doc) {
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t last = std::min<int64_t>(range.hi, doc.FrameCount() - 1);
    const SampleView view(doc);
    int peak = 1;
    for (int64_t i = range.lo; i <= last; ++i) {
        for (int ch = 0; ch < view.Channels(); ++ch) {
            const int x = view.Get(i, ch);
            peak = std::max(peak, std::abs(view.Is16Bit() ? x : x - 128));
        }
    }
    return peak;
}

}  // namespace

EditResult Normalise(AudioDocument& doc) {
    const int peak = PeakOf(doc);
    ScaleRange(doc, 128, 32768, peak);
    return EditResult::SamplesChanged;
}

EditResult Louder(AudioDocument& doc) {
    ScaleRange(doc, 110, 110, 100);
    return EditResult::SamplesChanged;
}

EditResult Quieter(AudioDocument& doc) {
    ScaleRange(doc, 100, 100, 110);
    return EditResult::SamplesChanged;
}

}  // namespace sonvira
