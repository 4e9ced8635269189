#include "RateSteps.h"

#include <cstdint>
#include <limits>

namespace sonvira {
namespace {

EditResult ScaleRate(AudioDocument& doc, int64_t mul, int64_t div) {
    const int64_t rate = doc.SampleRate.load();
    if (rate <= 0) return EditResult::Unchanged;  // no sound loaded
    const int64_t next = rate * mul / div;
    if (next < 1 || next > std::numeric_limits<int32_t>::max()) {
        return EditResult::RateOutOfRange;
    }
    doc.SampleRate = static_cast<int32_t>(next);
    return EditResult::RateChanged;
}

}  // namespace

EditResult Faster(AudioDocument& doc) { return ScaleRate(doc, 110, 100); }

EditResult Slower(AudioDocument& doc) { return ScaleRate(doc, 100, 110); }

}  // namespace sonvira
