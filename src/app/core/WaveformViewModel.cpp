#include "WaveformViewModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace sonvira {

int32_t ZoomFieldValue(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= kMinZoom)) return kMinZoom;
    return rounded > kMaxZoom ? kMaxZoom : static_cast<int32_t>(rounded);
}

int32_t ColumnOf(int32_t samplePosition, ViewGeometry view) {
    const uint32_t offset = static_cast<uint32_t>(view.scroll) * static_cast<uint32_t>(view.zoom);
    return static_cast<int32_t>(static_cast<uint32_t>(samplePosition) - offset) / view.zoom;
}

int32_t MarkerColumn(int32_t readIndex, ViewGeometry view) {
    if (view.zoom <= 0) return 0;
    return static_cast<int32_t>((int64_t{readIndex} - int64_t{view.scroll} * view.zoom) / view.zoom);
}

int32_t SamplePositionAt(int x, ViewGeometry view, int32_t sampleCount) {
    int64_t v = int64_t{view.zoom} * (int64_t{x} + view.scroll);
    if (v < 0) v = 0;
    if (v >= sampleCount) v = int64_t{sampleCount} - 1;
    return static_cast<int32_t>(v);
}

int32_t ScrollMaximum(int64_t sampleCount, int64_t width, int32_t zoom) {
    const int64_t m = (sampleCount - width * zoom) / std::max(zoom, 1);
    if (m <= 0) return 1;
    return static_cast<int32_t>(std::min<int64_t>(m, std::numeric_limits<int32_t>::max()));
}

int32_t ScrollKeepingFraction(int32_t position, int32_t newMaximum, int32_t oldMaximum) {
    if (oldMaximum <= 0) return position;
    // In 64 bits: a 32-bit product could wrap to a negative position on long sounds.
    return static_cast<int32_t>(int64_t{position} * newMaximum / oldMaximum);
}

int32_t ZoomToShow(int64_t samples, int width) {
    return ZoomFieldValue(static_cast<double>(samples) / std::max(1, width));
}

int32_t ZoomedOut(int32_t zoom) { return ZoomFieldValue(zoom * 1.5); }

int32_t ZoomedIn(int32_t zoom) { return ZoomFieldValue(zoom / 1.5); }

int32_t ScrollToSelection(int32_t anchor, int32_t end, int32_t zoom, int32_t maximum) {
    const int64_t start = int64_t{std::min(anchor, end)} / std::max(zoom, 1);
    return static_cast<int32_t>(std::clamp<int64_t>(start, 0, std::max(maximum, 0)));
}

int32_t ScrolledBack(int32_t position) { return std::max(0, position - 10); }

}  // namespace sonvira
