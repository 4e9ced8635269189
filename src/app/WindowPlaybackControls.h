#pragma once
// The playback controller's view of the main window's controls: the factor fields,
// the rewind field, the coupling check box and the transport buttons.

#include "PlaybackControls.h"

namespace sonvira {

class TMainForm;

class WindowPlaybackControls final : public PlaybackControls {
public:
    explicit WindowPlaybackControls(TMainForm& form) : form_(form) {}

    double SpeedFieldValue() const override;
    double PitchFieldValue() const override;
    void SetSpeedField(double value) override;
    void SetPitchField(double value) override;
    double RewindSeconds() const override;
    bool FactorsCoupled() const override;
    void ShowTransport(bool playing) override;

private:
    TMainForm& form_;
};

}  // namespace sonvira
