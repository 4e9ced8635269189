#pragma once
// What the playback controller needs of the window's controls: the two factor fields,
// the rewind field, the coupling check box and the transport buttons. The window
// implements it over its widgets; tests use a small fake. Window thread only.

namespace sonvira {

class PlaybackControls {
public:
    virtual ~PlaybackControls() = default;

    // The number in a field's text as it stands (typed values may lie outside the
    // bounds until the field is left).
    virtual double SpeedFieldValue() const = 0;
    virtual double PitchFieldValue() const = 0;
    // Sets a field from the program: the field clamps to its bounds (speed 0.1 … 10,
    // pitch 0.01 … 100) and runs its change handler once if its text changed.
    virtual void SetSpeedField(double value) = 0;
    virtual void SetPitchField(double value) = 0;
    // Seconds to rewind on resuming after a pause.
    virtual double RewindSeconds() const = 0;
    // "Geschwindigkeit und Tonhöhe zusammen ändern".
    virtual bool FactorsCoupled() const = 0;
    // Play (and record) enabled while idle; STOP and pause enabled while playing.
    virtual void ShowTransport(bool playing) = 0;
};

}  // namespace sonvira
