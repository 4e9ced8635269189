#pragma once
// The sound output of the play command over the looping device ring: priming, the
// stream thread while it plays, and stopping it again.

#include <memory>

#include "OutputDevice.h"
#include "SoundOutput.h"
#include "TMyThread.h"

namespace sonvira {

class DeviceSoundOutput : public SoundOutput {
public:
    explicit DeviceSoundOutput(std::unique_ptr<OutputDevice> device);
    ~DeviceSoundOutput() override;

    // The system's default output at 44100 Hz, 16-bit stereo, or null when none can be
    // opened.
    static std::unique_ptr<SoundOutput> OpenDefault();

    void Start(PlaybackState& state, const AudioDocument& doc) override;
    void Stop() override;

private:
    std::unique_ptr<OutputDevice> device_;
    BlockRenderer renderer_;  // made once: starting a sound allocates no engine
    std::unique_ptr<TMyThread> stream_;
};

}  // namespace sonvira
