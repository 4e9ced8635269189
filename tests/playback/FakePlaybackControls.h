#pragma once
// The window's controls as the playback controller sees them, without a window: two
// factor fields that clamp values set by the program and run their change handler when
// their shown text (two decimals) changes, the rewind field, the coupling check box and
// the transport buttons.

#include <algorithm>
#include <cmath>
#include <functional>

#include "PlaybackControls.h"

namespace sonvira::test {

class FakeField {
public:
    FakeField(double minimum, double maximum, double value)
        : min_(minimum), max_(maximum), value_(value) {}
    std::function<void()> changed;
    double value() const { return value_; }
    // A value set by the program: clamped, shown with two decimals.
    void Set(double v) { Type(std::round(std::clamp(v, min_, max_) * 100) / 100); }
    // A value as typed, unclamped; the handler runs when the number differs.
    void Type(double v) {
        if (v == value_) return;
        value_ = v;
        if (changed) changed();
    }

private:
    double min_, max_, value_;
};

class FakePlaybackControls final : public PlaybackControls {
public:
    FakeField speed{0.1, 10, 1};
    FakeField pitch{0.01, 100, 1};
    double rewindSeconds = 2;
    bool coupled = true;
    bool playingShown = false;
    int transportChanges = 0;

    double SpeedFieldValue() const override { return speed.value(); }
    double PitchFieldValue() const override { return pitch.value(); }
    void SetSpeedField(double v) override { speed.Set(v); }
    void SetPitchField(double v) override { pitch.Set(v); }
    double RewindSeconds() const override { return rewindSeconds; }
    bool FactorsCoupled() const override { return coupled; }
    void ShowTransport(bool playing) override {
        playingShown = playing;
        ++transportChanges;
    }
};

}  // namespace sonvira::test
