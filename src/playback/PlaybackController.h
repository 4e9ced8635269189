#pragma once
// The play command without a window: the play range from the selection, the rule that
// ends the play loop, pause with rewind, the hot key actions, the coupling of the two
// factor fields and stopping a sound before the block changes. The window keeps its
// event loop, the marker drawing and thin handlers that call these.
//
// Threads: every member is for the window thread. While a sound plays the output's
// stream thread reads the shared PlaybackState (atomics) and the document's block
// under the document's SampleLock.

#include <atomic>
#include <cstdint>
#include <memory>

#include "AudioDocument.h"
#include "PlaybackControls.h"
#include "PlaybackState.h"
#include "SoundOutput.h"

namespace sonvira {

class PlaybackController {
public:
    PlaybackController(AudioDocument& doc, PlaybackControls& controls);
    // Stops a sound that still plays before the output goes.
    ~PlaybackController();
    PlaybackController(const PlaybackController&) = delete;
    PlaybackController& operator=(const PlaybackController&) = delete;

    PlaybackState& State() { return state_; }
    const PlaybackState& State() const { return state_; }
    // Raised by STOP, by closing the window and by commands that replace the sound;
    // ends the play loop and the MP3 decoding loop. Cleared when a play starts.
    std::atomic<bool>& StopRequested() { return stopRequested_; }

    // The sound output; null when none could be opened (nothing then plays).
    void SetOutput(std::unique_ptr<SoundOutput> output);
    bool HasOutput() const { return output_ != nullptr; }

    // Reads both factors and the loop flag from the controls' current state (start-up).
    void TakeFactorsFromFields(bool loop);

    // Starts the play command: Paused cleared, the play range set from the selection,
    // the transport shown as playing, StopRequested cleared and the output started.
    // False, with nothing changed, when there is no output or a sound already plays.
    bool BeginPlay();
    // The play loop's rule: it goes on while no stop was requested and the render
    // position lies before both the range end and the frame count.
    bool PlayGoesOn() const;
    // Ends the play command: the output stopped (device first, then its thread) and
    // the transport shown as idle.
    void EndPlay();
    bool Playing() const { return playing_; }

    // STOP: ends the play loop at its next step.
    void RequestStop() { stopRequested_ = true; }
    // Before a command replaces or shortens the block: the sound stops now and the
    // stream thread has ended when this returns. The play loop, which called the
    // command from its event handling, ends when control returns to it.
    void StopNow();

    // The pause button: a resume first rewinds by the rewind field's seconds of the
    // sound's own time (not below 0); then Paused toggles.
    void PauseOrResume();
    // A global hot key. 0 pauses or resumes while playing and otherwise asks the
    // caller to run the play command (true); 1 and 2 step the speed field by -0.1 and
    // +0.1. Other ids do nothing.
    bool HotKey(int id);

    // The change handlers of the factor fields: the factor takes the field's value;
    // when coupled the other field follows, without echoing back.
    void SpeedFieldChanged();
    void PitchFieldChanged();
    void SetLoop(bool loop) { state_.Loop = loop; }
    // "Hohe Klangqualität": the stream switches engines at its next block.
    void SetHighQuality(bool on) { state_.HighQuality = on; }
    // Moves the play position (frames); a running sound continues from there.
    void SetPlayPosition(double frame) { state_.PlayPosition = frame; }

private:
    void SetUpPlayRange();

    AudioDocument& doc_;
    PlaybackControls& controls_;
    PlaybackState state_;
    std::unique_ptr<SoundOutput> output_;
    std::atomic<bool> stopRequested_{false};
    bool playing_ = false;
    bool couplingGuard_ = false;
};

}  // namespace sonvira
