#include "PlaybackController.h"

#include <algorithm>

namespace sonvira {

PlaybackController::PlaybackController(AudioDocument& doc, PlaybackControls& controls)
    : doc_(doc), controls_(controls) {}

PlaybackController::~PlaybackController() {
    stopRequested_ = true;
    if (output_) output_->Stop();
}

void PlaybackController::SetOutput(std::unique_ptr<SoundOutput> output) {
    if (output_) output_->Stop();
    output_ = std::move(output);
}

void PlaybackController::TakeFactorsFromFields(bool loop) {
    state_.SpeedFactor = controls_.SpeedFieldValue();
    state_.PitchFactor = controls_.PitchFieldValue();
    state_.Loop = loop;
}

// The play range from the selection (sample positions, smaller first, frames for
// stereo), or the whole sound. Not limited to the frame count here: the renderer's
// test does that.
void PlaybackController::SetUpPlayRange() {
    state_.Paused = false;
    state_.RangeStart = 0;
    const int32_t frames = doc_.FrameCount();
    state_.FrameCount = frames;
    if (doc_.SelAnchor == doc_.SelEnd) {
        state_.RangeEnd = frames;
    } else {
        state_.RangeStart = doc_.FrameOfSamplePosition(std::min(doc_.SelAnchor, doc_.SelEnd));
        state_.RangeEnd = doc_.FrameOfSamplePosition(std::max(doc_.SelAnchor, doc_.SelEnd));
    }
    state_.PlayPosition = state_.RangeStart.load();
}

bool PlaybackController::BeginPlay() {
    if (!output_ || playing_) return false;
    SetUpPlayRange();
    controls_.ShowTransport(true);
    stopRequested_ = false;
    playing_ = true;
    output_->Start(state_, doc_);
    return true;
}

bool PlaybackController::PlayGoesOn() const {
    const double position = state_.PlayPosition;
    return !stopRequested_ && position < state_.RangeEnd && position < state_.FrameCount;
}

void PlaybackController::EndPlay() {
    if (output_) output_->Stop();
    playing_ = false;
    controls_.ShowTransport(false);
}

void PlaybackController::StopNow() {
    if (!playing_) return;
    stopRequested_ = true;
    output_->Stop();
}

void PlaybackController::PauseOrResume() {
    if (state_.Paused) {
        // Resuming: the stream thread may publish a block's advance meanwhile; the
        // rewind wins.
        double position = state_.PlayPosition.load();
        double rewound;
        do {
            rewound = position - controls_.RewindSeconds() * doc_.SampleRate.load();
            if (!(rewound >= 0)) rewound = 0;
        } while (!state_.PlayPosition.compare_exchange_weak(position, rewound));
    }
    state_.Paused = !state_.Paused;
}

bool PlaybackController::HotKey(int id) {
    switch (id) {
        case 0:
            if (!playing_) return true;
            PauseOrResume();
            return false;
        case 1:
            controls_.SetSpeedField(controls_.SpeedFieldValue() - 0.1);
            return false;
        case 2:
            controls_.SetSpeedField(controls_.SpeedFieldValue() + 0.1);
            return false;
        default:
            return false;
    }
}

void PlaybackController::SpeedFieldChanged() {
    state_.SpeedFactor = controls_.SpeedFieldValue();
    if (couplingGuard_ || !controls_.FactorsCoupled()) return;
    couplingGuard_ = true;
    controls_.SetPitchField(controls_.SpeedFieldValue());
    couplingGuard_ = false;
}

void PlaybackController::PitchFieldChanged() {
    state_.PitchFactor = controls_.PitchFieldValue();
    if (couplingGuard_ || !controls_.FactorsCoupled()) return;
    couplingGuard_ = true;
    controls_.SetSpeedField(controls_.PitchFieldValue());  // the field keeps 0.1 … 10
    couplingGuard_ = false;
}

}  // namespace sonvira
