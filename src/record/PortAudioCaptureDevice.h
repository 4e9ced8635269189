#pragma once
// The sound card's input through PortAudio: a 44100 Hz 16-bit stereo input stream on
// the default input device, whose callback only writes what it captured into the
// recorder's ring. On Linux PortAudio reaches PulseAudio or PipeWire through ALSA's
// "default" device. The stream exists only between Start and Stop.

#include <memory>

#include "CaptureDevice.h"

namespace sonvira {

class PortAudioCaptureDevice final : public CaptureDevice {
  public:
    // Frames PortAudio hands the callback at a time: one ring block, about 93 ms, so
    // the audio thread wakes rarely.
    static constexpr unsigned long kFramesPerCallback = 4096;

    // Initialises PortAudio (reference-counted, released by the destructor) and finds
    // the default input. Null when PortAudio cannot be initialised or there is no
    // default input. Window thread; the caller owns the result.
    static std::unique_ptr<CaptureDevice> Create();
    // Stops a stream still running and releases PortAudio.
    ~PortAudioCaptureDevice() override;
    PortAudioCaptureDevice(const PortAudioCaptureDevice&) = delete;
    PortAudioCaptureDevice& operator=(const PortAudioCaptureDevice&) = delete;

    // Opens and starts the input stream; false when the input cannot be opened in
    // 44100 Hz 16-bit stereo or does not start. Window thread.
    bool Start(CaptureRing& ring) override;
    // Stops and closes the stream; the callback has returned for the last time when
    // it returns. Window thread.
    void Stop() override;

  private:
    PortAudioCaptureDevice() = default;
    bool Initialise();

    int deviceIndex_ = -1;           // PaDeviceIndex of the default input
    double suggestedLatency_ = 0.0;  // seconds
    void* stream_ = nullptr;         // PaStream; only the window thread touches it
    bool initialised_ = false;
};

}  // namespace sonvira
