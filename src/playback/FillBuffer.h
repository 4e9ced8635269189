#pragma once
// The playback renderer: the next block of output sound (44100 Hz, 16-bit stereo)
// from the document at the current speed and pitch.

#include "AudioDocument.h"
#include "PlaybackState.h"

#include <cstdint>

namespace sonvira {

inline constexpr int32_t kOutputRate = 44100;
inline constexpr int32_t kOutputBlockBytes = 8192;  // half of the 16384-byte device ring

// Renders bytes / 4 frames of interleaved 16-bit stereo into `output` (8192 bytes in
// playback: 2048 frames). Per output frame the read position advances by
// SampleRate / 44100 × speed (speed read once, clamped to 0.1 … 10) unless Paused,
// and the nearest source frame (halves to even) is converted to 16-bit stereo;
// frames at or past RangeEnd or FrameCount, or before frame 0, are silence. After
// the block: ReadIndex is published as a sample position; with Loop set and the
// position at or past an end it returns to RangeStart; the position is published
// only if the window did not move it meanwhile; then each 1024-frame part goes
// through PitchShiftBlock with the pitch factor read once.
// Thread: the playback stream thread, or the window thread for the priming call
// before that thread starts (one caller at a time, see PitchShiftBlock). The
// document's block must not be replaced or released during the call. Allocates
// nothing, never blocks.
void FillBuffer(PlaybackState& state, const AudioDocument& doc, int16_t* output,
                int32_t bytes);

}  // namespace sonvira
