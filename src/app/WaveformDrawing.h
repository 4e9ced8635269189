#pragma once
// Draws the waveform view into its bitmap: background, selection band, one sample per
// pixel column as a polyline, the anchor line and the inverting play marker. Costs one
// point per column whatever the zoom.

#include <QImage>

#include "AudioDocument.h"
#include "WaveformViewModel.h"

namespace sonvira {

// Draws into `bitmap` (already sized to the view) for the document and view geometry.
void DrawWaveform(QImage& bitmap, const AudioDocument& doc, ViewGeometry view,
                  int32_t playMarkerX);

// Inverts the column `x` of the bitmap (the play marker); drawing it twice restores it.
void InvertColumn(QImage& bitmap, int32_t x);

}  // namespace sonvira
