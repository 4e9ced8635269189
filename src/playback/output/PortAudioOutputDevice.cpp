#include "PortAudioOutputDevice.h"

#include <portaudio.h>

namespace sonvira {
namespace {

constexpr double kRate = 44100.0;
constexpr int kChannels = 2;

// Runs on PortAudio's audio thread: copies from the ring and moves atomics only.
int PlayRing(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
             PaStreamCallbackFlags, void* ring) {
    static_cast<DeviceBuffer*>(ring)->Pull(static_cast<int16_t*>(output),
                                           static_cast<int32_t>(frames));
    return paContinue;
}

}  // namespace

std::unique_ptr<PortAudioOutputDevice> PortAudioOutputDevice::Create() {
    std::unique_ptr<PortAudioOutputDevice> device(new PortAudioOutputDevice);
    if (!device->Open()) return nullptr;
    return device;
}

bool PortAudioOutputDevice::Open() {
    if (Pa_Initialize() != paNoError) return false;
    initialised_ = true;
    const PaDeviceIndex index = Pa_GetDefaultOutputDevice();
    if (index == paNoDevice) return false;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr) return false;
    PaStreamParameters params{};
    params.device = index;
    params.channelCount = kChannels;
    params.sampleFormat = paInt16;
    // The ring already holds 92.9 ms; the host's own buffer only adds delay, but the
    // higher default keeps sound servers reached through ALSA from running dry.
    params.suggestedLatency = info->defaultHighOutputLatency;
    if (Pa_IsFormatSupported(nullptr, &params, kRate) != paFormatIsSupported) return false;
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, nullptr, &params, kRate, kFramesPerCallback, paClipOff, PlayRing,
                      &buffer_) != paNoError) {
        return false;
    }
    stream_ = stream;
    // The stream runs from now until the device is destroyed, playing silence while
    // stopped: Play and Stop then act at once, and the sound server never has to wake
    // an idle output for a play command.
    return Pa_StartStream(stream_) == paNoError;
}

PortAudioOutputDevice::~PortAudioOutputDevice() {
    if (stream_ != nullptr) {
        buffer_.Halt();
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
    }
    if (initialised_) Pa_Terminate();
}

int32_t PortAudioOutputDevice::GetCurrentPosition() const { return buffer_.Cursor(); }

DeviceBuffer& PortAudioOutputDevice::Lock() {
    writer_.lock();
    return buffer_;
}

void PortAudioOutputDevice::Unlock() {
    buffer_.Publish();
    writer_.unlock();
}

void PortAudioOutputDevice::Play() { buffer_.Start(); }

void PortAudioOutputDevice::Stop() { buffer_.Halt(); }

double PortAudioOutputDevice::OutputLatency() const {
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    return info != nullptr ? info->outputLatency : 0.0;
}

}  // namespace sonvira
