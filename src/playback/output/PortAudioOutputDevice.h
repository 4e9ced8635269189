#pragma once
// The sound card through PortAudio: a 44100 Hz 16-bit stereo output stream on the
// default output device whose callback plays the ring (DeviceBuffer::Pull). On Linux
// PortAudio reaches PulseAudio or PipeWire through ALSA's "default" device.

#include "OutputDevice.h"

#include <memory>
#include <mutex>

namespace sonvira {

class PortAudioOutputDevice final : public OutputDevice {
public:
    // Frames the callback takes per call: 5.8 ms, so the cursor moves in small steps.
    static constexpr unsigned long kFramesPerCallback = 256;

    // Initialises PortAudio, opens the output stream and starts it playing silence.
    // nullptr when PortAudio cannot be initialised, there is no default output device,
    // or it cannot take or start 44100 Hz 16-bit stereo. Window thread, at start-up;
    // the caller owns the result.
    static std::unique_ptr<PortAudioOutputDevice> Create();
    // Stops and closes the stream and releases PortAudio. Stop playback (and join the
    // stream thread) first.
    ~PortAudioOutputDevice() override;
    PortAudioOutputDevice(const PortAudioOutputDevice&) = delete;
    PortAudioOutputDevice& operator=(const PortAudioOutputDevice&) = delete;

    int32_t GetCurrentPosition() const override;
    DeviceBuffer& Lock() override;
    void Unlock() override;
    // The ring is heard from its start (cursor 0) on the next callback. Window thread.
    void Play() override;
    // Silence from the next callback on; the cursor stays. What the host already holds
    // (OutputLatency) is still heard. Window thread.
    void Stop() override;

    // Frames the sound card has taken from the ring since Play. Any thread.
    int64_t FramesPlayed() const { return buffer_.FramesPlayed(); }
    // Output latency of the open stream in seconds, as PortAudio reports it: the time
    // from a frame leaving the ring to it being heard.
    double OutputLatency() const;

private:
    PortAudioOutputDevice() = default;
    bool Open();

    DeviceBuffer buffer_;
    std::mutex writer_;
    void* stream_ = nullptr;  // PaStream
    bool initialised_ = false;
};

}  // namespace sonvira
