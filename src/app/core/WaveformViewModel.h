#pragma once
// The waveform view's arithmetic without a window: which sample position a pixel
// column shows, where the selection, the anchor and the play marker fall, the scroll
// range for a zoom, and the zoom commands. The zoom (Z, sample positions per column)
// and the scroll position (P, in columns) live in the window's controls; column x
// shows sample position (x + P) × Z. Sample positions count single channel values,
// as AudioDocument::SampleCount does.

#include <cstdint>

namespace sonvira {

struct ViewGeometry {
    int32_t scroll = 0;  // P: first column's offset, in columns
    int32_t zoom = 1;    // Z: sample positions per column
};

inline constexpr int32_t kMinZoom = 1;
inline constexpr int32_t kMaxZoom = 1000000;

// What the zoom field makes of a value: the nearest whole number (a half to the even
// neighbour), kept within 1 … 1000000.
int32_t ZoomFieldValue(double value);

// The column of a sample position, (v − P × Z) ÷ Z in 32-bit arithmetic (wrapping as
// the selection band always did), truncated toward zero. Zoom at least 1.
int32_t ColumnOf(int32_t samplePosition, ViewGeometry view);

// The play marker's column for the sample position being played, in 64 bits.
int32_t MarkerColumn(int32_t readIndex, ViewGeometry view);

// The sample position under column x, limited to 0 … sampleCount − 1 (−1 for an
// empty sound).
int32_t SamplePositionAt(int x, ViewGeometry view, int32_t sampleCount);

// The scroll bar's maximum for a zoom: (n − W × Z) ÷ Z, at least 1, so the last page
// shows the end of the sound.
int32_t ScrollMaximum(int64_t sampleCount, int64_t width, int32_t zoom);

// The scroll position that keeps the view at the same fraction of the sound when the
// maximum changes from oldMaximum to newMaximum (the old position when there was none).
int32_t ScrollKeepingFraction(int32_t position, int32_t newMaximum, int32_t oldMaximum);

// "Ganze Datei" and "Zoom auf Auswahl": the zoom that shows `samples` positions in a
// view `width` columns wide.
int32_t ZoomToShow(int64_t samples, int width);
// "Kleiner" (× 1.5) and "Größer" (÷ 1.5).
int32_t ZoomedOut(int32_t zoom);
int32_t ZoomedIn(int32_t zoom);

// "Zoom auf Auswahl": the scroll position that puts the selection's start first,
// limited to 0 … maximum.
int32_t ScrollToSelection(int32_t anchor, int32_t end, int32_t zoom, int32_t maximum);

// Opening the "Effekte" menu scrolls ten columns toward the start, not below 0.
int32_t ScrolledBack(int32_t position);

}  // namespace sonvira
