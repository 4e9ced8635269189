#pragma once
// What the window does to a playing sound, as a table of events between blocks: steady
// play, a click that moves the position, pause and resume with its rewind, an engine
// switch, speed and pitch changes and sweeps (the pitch crossing 1), a looping range
// restarting, a range ending, and new play commands on sounds of other rates and channel
// counts. The real-time test renders each event through BlockRenderer with its counting
// hooks armed around every block; the block-time benchmark times the same blocks.

#include "BlockRenderer.h"
#include "FillBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace sonvira::test {

struct EventSound {
    int32_t rate;
    bool stereo;
};

// The first one plays unless an event starts another.
inline constexpr EventSound kEventSounds[] = {{44100, true}, {22050, false}, {48000, true},
                                              {96000, false}, {8000, true},  {44100, false}};
inline constexpr int32_t kEventSoundSeconds = 4;

// Four seconds of a three-tone chord over faint noise, 16-bit.
inline void LoadEventSound(AudioDocument& doc, EventSound sound) {
    const int32_t frames = sound.rate * kEventSoundSeconds;
    const int channels = sound.stereo ? 2 : 1;
    const size_t samples = static_cast<size_t>(frames) * static_cast<size_t>(channels);
    auto* block = static_cast<int16_t*>(std::malloc(samples * 2));
    std::mt19937 noise(7);
    for (int32_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / sound.rate;
        const double chord = std::sin(2 * M_PI * 220 * t) + std::sin(2 * M_PI * 277.2 * t) + std::sin(2 * M_PI * 329.6 * t);
        for (int c = 0; c < channels; ++c) {
            const double v = 6000 * chord + static_cast<double>(noise() % 201) - 100;
            block[static_cast<size_t>(f) * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                static_cast<int16_t>(std::lround(v));
        }
    }
    doc.InstallBlock(reinterpret_cast<uint8_t*>(block), static_cast<int32_t>(samples * 2), sound.rate, sound.stereo,
                     true);
}

// One renderer over the event sounds with the state the window shares with it.
class RenderSession {
public:
    RenderSession() {
        for (const EventSound& sound : kEventSounds) {
            sounds_.push_back(std::make_unique<AudioDocument>());
            LoadEventSound(*sounds_.back(), sound);
        }
    }

    PlaybackState state;
    BlockRenderer renderer;

    // A play command over the whole of sound `index` from its start, as the window gives it
    // after stopping the last one: the engine starts afresh.
    void Play(size_t index, double speed, double pitch) {
        doc_ = sounds_[index % sounds_.size()].get();
        state.Paused = false;
        state.Loop = true;
        state.RangeStart = 0;
        state.RangeEnd = doc_->FrameCount();
        state.PlayPosition = 0.0;
        state.SpeedFactor = speed;
        state.PitchFactor = pitch;
        renderer.Restart();
    }

    const AudioDocument& Sound() const { return *doc_; }

    // Renders one block of 2048 frames; `around` is given the render call to make.
    template <class Around>
    void RenderBlock(Around&& around) {
        around([this] { renderer.Render(state, *doc_, block_.data(), kOutputBlockBytes); });
    }

private:
    std::vector<std::unique_ptr<AudioDocument>> sounds_;
    const AudioDocument* doc_ = nullptr;
    std::vector<int16_t> block_ = std::vector<int16_t>(kOutputBlockBytes / 2);
};

struct RenderEvent {
    const char* name;
    int blocks;
    // The speed or pitch field at or near its limits: the high-quality engine's work there
    // grows with the ratios, so its block times are reported on their own.
    bool fieldLimits;
    // What the window does before block `block` (0 … blocks − 1), after a play command
    // of the first sound at speed and pitch 0.7.
    void (*before)(RenderSession& session, int block);
};

namespace events {

// 0 → 1 → 0 over `period` blocks.
inline double Triangle(int block, int period) {
    const double phase = static_cast<double>(block % period) / period;
    return phase < 0.5 ? 2 * phase : 2 - 2 * phase;
}

inline void Steady(RenderSession&, int) {}

inline void Click(RenderSession& s, int block) {
    if (block % 3 == 2) s.state.PlayPosition = s.state.RangeEnd.load() * ((block * 37) % 100) / 100.0;
}

// Pause for two blocks, then resume one second earlier, as the pause key does.
inline void PauseAndResume(RenderSession& s, int block) {
    if (block % 6 == 2) s.state.Paused = true;
    if (block % 6 == 4) {
        const double rewound = s.state.PlayPosition.load() - s.Sound().SampleRate.load();
        s.state.PlayPosition = std::max(rewound, static_cast<double>(s.state.RangeStart.load()));
        s.state.Paused = false;
    }
}

inline void EngineSwitch(RenderSession& s, int block) {
    if (block % 3 == 2) s.state.HighQuality = !s.state.HighQuality.load();
}

inline void SpeedChange(RenderSession& s, int block) {
    static constexpr double kSpeeds[] = {1.0, 0.5, 0.25, 2.0, 0.75, 1.5};
    if (block % 4 == 0) s.state.SpeedFactor = kSpeeds[(block / 4) % std::size(kSpeeds)];
}

inline void PitchChange(RenderSession& s, int block) {
    static constexpr double kPitches[] = {1.0, 0.5, 2.0, 0.75, 1.5, 1.3};
    if (block % 4 == 0) s.state.PitchFactor = kPitches[(block / 4) % std::size(kPitches)];
}

// A new pitch every block, 0.75 … 1.33 and back, across 1 both ways.
inline void PitchSweep(RenderSession& s, int block) {
    s.state.PitchFactor = 0.75 * std::pow(1.78, Triangle(block, 16));
}

// Dragging the coupled fields: speed and pitch together, 0.3 … 1.7, a new value every block.
inline void SpeedSweep(RenderSession& s, int block) {
    const double factor = 0.3 + 1.4 * Triangle(block, 16);
    s.state.SpeedFactor = factor;
    s.state.PitchFactor = factor;
}

// The fields at their limits (speed 0.1 and 10, pitch 0.01 and 100), where the
// high-quality engine meets its clamped ratios and does up to 16 times the usual work.
inline void FieldLimits(RenderSession& s, int block) {
    static constexpr double kCorners[][2] = {{10.0, 1.0}, {0.1, 1.0}, {1.0, 0.01}, {1.0, 100.0},
                                             {10.0, 100.0}, {0.1, 0.01}, {10.0, 0.01}, {0.1, 100.0}};
    if (block % 4 != 0) return;
    const auto& corner = kCorners[static_cast<size_t>(block / 4) % std::size(kCorners)];
    s.state.SpeedFactor = corner[0];
    s.state.PitchFactor = corner[1];
}

// Typing into the fields: a new speed and pitch every block, anywhere in their ranges, so
// the stretcher meets ratios it has not met before.
inline void FactorsAnywhere(RenderSession& s, int block) {
    const double u = std::fmod(block * 0.6180339887, 1.0), v = std::fmod(block * 0.7548776662 + 0.3, 1.0);
    s.state.SpeedFactor = 0.1 * std::pow(100.0, u);
    s.state.PitchFactor = 0.01 * std::pow(10000.0, v);
}

// A looping selection of 3000 frames: the loop point comes round about every second block.
inline void LoopRestart(RenderSession& s, int block) {
    if (block != 0) return;
    s.state.RangeStart = 20000;
    s.state.RangeEnd = 23000;
    s.state.PlayPosition = 20000.0;
}

// A selection without the loop: past its end the blocks are silence.
inline void RangeEnd(RenderSession& s, int block) {
    if (block != 0) return;
    s.state.Loop = false;
    s.state.RangeEnd = 30000;
}

// A new play command every fourth block on the next sound (another rate, another channel
// count), with another speed.
inline void NewSound(RenderSession& s, int block) {
    static constexpr double kSpeeds[] = {0.7, 0.3, 1.5, 1.0, 0.5, 2.0};
    if (block % 4 != 0) return;
    const bool highQuality = s.state.HighQuality.load();
    const int n = block / 4;
    s.Play(static_cast<size_t>(n), kSpeeds[static_cast<size_t>(n) % std::size(kSpeeds)], 0.7);
    s.state.HighQuality = highQuality;
}

}  // namespace events

inline const RenderEvent kRenderEvents[] = {
    {"steady_play", 24, false, events::Steady},
    {"click_moves_position", 24, false, events::Click},
    {"pause_and_resume_with_rewind", 24, false, events::PauseAndResume},
    {"engine_switch", 24, false, events::EngineSwitch},
    {"speed_change", 24, false, events::SpeedChange},
    {"pitch_change", 24, false, events::PitchChange},
    {"pitch_sweep_across_1", 32, false, events::PitchSweep},
    {"speed_sweep_coupled", 32, false, events::SpeedSweep},
    {"loop_restart", 24, false, events::LoopRestart},
    {"range_end_without_loop", 16, false, events::RangeEnd},
    {"new_sound_other_rate_and_channels", 48, false, events::NewSound},
    {"field_limits", 32, true, events::FieldLimits},
    {"factors_anywhere_in_range", 48, true, events::FactorsAnywhere},
};

// Plays `event` on `session`'s renderer with the given engine, from a play command of the
// first sound; `around` is given each block's render call.
template <class Around>
void PlayEvent(const RenderEvent& event, bool highQuality, RenderSession& session, Around&& around) {
    session.Play(0, 0.7, 0.7);
    session.state.HighQuality = highQuality;
    for (int block = 0; block < event.blocks; ++block) {
        event.before(session, block);
        session.RenderBlock(around);
    }
}

}  // namespace sonvira::test
