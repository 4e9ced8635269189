#pragma once
// What the window thread and the playback stream thread share while a sound plays.
// Owned by the main window. Every field is an atomic, so each is read whole; no lock.
//
// Written by the window: RangeStart, RangeEnd and Paused (play command, pause),
// PlayPosition (play command, rewind on resume, a click in the view), SpeedFactor,
// PitchFactor, Loop (the fields and the loop check box).
// Written by the renderer (FillBuffer): PlayPosition, FrameCount, ReadIndex; PausedFrames
// is the renderer's alone.

#include <atomic>
#include <cstdint>

namespace sonvira {

struct PlaybackState {
    // Fractional read position in source frames. The renderer publishes it once per
    // block and yields to a position the window wrote while the block was rendered.
    std::atomic<double> PlayPosition{0.0};
    std::atomic<int32_t> RangeStart{0};  // first frame of the play range
    std::atomic<int32_t> RangeEnd{0};    // frame at which the play range ends (exclusive)
    std::atomic<int32_t> FrameCount{0};  // whole frames in the document, set by every render
    // The source frame read last, as a sample position (frame × channels), for the
    // play marker.
    std::atomic<int32_t> ReadIndex{0};
    std::atomic<bool> Paused{false};  // while set, the read position does not advance
    // Frames the standard engine has rendered since the pause began: it fades the held
    // frame to silence over the first few milliseconds.
    std::atomic<int32_t> PausedFrames{0};
    std::atomic<double> SpeedFactor{1.0};  // read once per block
    std::atomic<double> PitchFactor{1.0};  // read once per block
    std::atomic<bool> Loop{true};          // "In einer Schleife kontinuierlich abspielen"
    std::atomic<bool> HighQuality{false};  // "Hohe Klangqualität": the engine, read once per block
};

}  // namespace sonvira
