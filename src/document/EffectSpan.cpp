#include "EffectSpan.h"

#include <cmath>

namespace sonvira {

int64_t SpanFrames(double seconds, int32_t rate) {
    const long double product = static_cast<long double>(seconds) * rate;
    if (!(product > 0)) return 0;  // also catches NaN
    return static_cast<int64_t>(std::trunc(product));
}

}  // namespace sonvira
