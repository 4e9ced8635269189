#pragma once
// The sound card through PortAudio: a 44100 Hz 16-bit stereo output stream on the
// default output device whose callback plays the ring (DeviceBuffer::Pull). On Linux
// PortAudio reaches PulseAudio or PipeWire through ALSA's "default" device.
//
// The stream exists only while the ring plays: Play opens and starts it, Stop stops
// and closes it. An idle program thus holds no stream on the sound server, wakes no
// audio thread and lets the server suspend the card.

#include "RingOutputDevice.h"

#include <memory>

namespace sonvira {

class PortAudioOutputDevice final : public RingOutputDevice {
public:
    // Frames the callback takes per call: 5.8 ms, so the cursor moves in small steps.
    static constexpr unsigned long kFramesPerCallback = 256;

    // Initialises PortAudio and checks that the default output device takes 44100 Hz
    // 16-bit stereo by opening a stream on it and closing it again; no stream stays
    // open. nullptr when PortAudio cannot be initialised, there is no default output
    // device, or it cannot take that format. Window thread, at start-up; the caller
    // owns the result.
    static std::unique_ptr<PortAudioOutputDevice> Create();
    // Closes a stream still open and releases PortAudio. Stop playback (and join the
    // stream thread) first.
    ~PortAudioOutputDevice() override;
    PortAudioOutputDevice(const PortAudioOutputDevice&) = delete;
    PortAudioOutputDevice& operator=(const PortAudioOutputDevice&) = delete;

    // Opens and starts the output stream unless it runs already; the ring is heard
    // from its start (cursor 0). If the stream cannot be opened now, nothing is heard
    // and the cursor stands still until the next Play. Window thread.
    void Play() override;
    // Silence from the next callback on; the cursor stays. Waits until what the host
    // already holds (OutputLatency, about 35 ms through PulseAudio) has been heard,
    // then stops and closes the stream. Window thread; never from the stream thread or
    // the callback.
    void Stop() override;

    // Whether an output stream is open, i.e. between Play and Stop. Window thread.
    bool StreamOpen() const noexcept { return stream_ != nullptr; }
    // Output latency in seconds of the stream opened last, as PortAudio reports it:
    // the time from a frame leaving the ring to it being heard. 0 before the first
    // Play. Window thread.
    double OutputLatency() const noexcept { return outputLatency_; }

private:
    PortAudioOutputDevice() = default;
    bool Initialise();
    bool OpenStream();
    void CloseStream();

    int deviceIndex_ = -1;           // PaDeviceIndex of the default output
    double suggestedLatency_ = 0.0;  // seconds, asked of the host on every open
    double outputLatency_ = 0.0;
    void* stream_ = nullptr;  // PaStream; only the window thread touches it
    bool initialised_ = false;
};

}  // namespace sonvira
