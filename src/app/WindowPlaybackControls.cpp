#include "WindowPlaybackControls.h"

#include "TMainForm.h"

namespace sonvira {

double WindowPlaybackControls::SpeedFieldValue() const { return form_.SpeedEd->Value(); }

double WindowPlaybackControls::PitchFieldValue() const { return form_.PitchEd->Value(); }

void WindowPlaybackControls::SetSpeedField(double value) { form_.SpeedEd->SetValue(value); }

void WindowPlaybackControls::SetPitchField(double value) { form_.PitchEd->SetValue(value); }

double WindowPlaybackControls::RewindSeconds() const { return form_.SpulEd->Value(); }

bool WindowPlaybackControls::FactorsCoupled() const {
    return form_.PitchSpeedCombineCheck->isChecked();
}

void WindowPlaybackControls::ShowTransport(bool playing) { form_.SetTransportPlaying(playing); }

}  // namespace sonvira
