#include "PortAudioOutputDevice.h"

#include "QuietDeviceProbe.h"

#include <portaudio.h>

#include <chrono>
#include <thread>

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

PaStreamParameters OutputParameters(PaDeviceIndex device, double suggestedLatency) {
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = kChannels;
    params.sampleFormat = paInt16;
    params.suggestedLatency = suggestedLatency;
    return params;
}

}  // namespace

std::unique_ptr<PortAudioOutputDevice> PortAudioOutputDevice::Create() {
    std::unique_ptr<PortAudioOutputDevice> device(new PortAudioOutputDevice);
    if (!device->Initialise()) return nullptr;
    // Open once so that a device that lists the format but cannot be opened fails
    // here, at start-up, and not silently at the first Play.
    if (!device->OpenStream()) return nullptr;
    device->CloseStream();
    return device;
}

bool PortAudioOutputDevice::Initialise() {
    const QuietDeviceProbe quiet;
    if (Pa_Initialize() != paNoError) return false;
    initialised_ = true;
    const PaDeviceIndex index = Pa_GetDefaultOutputDevice();
    if (index == paNoDevice) return false;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr) return false;
    deviceIndex_ = index;
    // The ring already holds 92.9 ms; the host's own buffer only adds delay, but the
    // higher default keeps sound servers reached through ALSA from running dry.
    suggestedLatency_ = info->defaultHighOutputLatency;
    const PaStreamParameters params = OutputParameters(deviceIndex_, suggestedLatency_);
    return Pa_IsFormatSupported(nullptr, &params, kRate) == paFormatIsSupported;
}

bool PortAudioOutputDevice::OpenStream() {
    const PaStreamParameters params = OutputParameters(deviceIndex_, suggestedLatency_);
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, nullptr, &params, kRate, kFramesPerCallback, paClipOff, PlayRing,
                      &Ring()) != paNoError) {
        return false;
    }
    stream_ = stream;
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    if (info != nullptr) outputLatency_ = info->outputLatency;
    return true;
}

void PortAudioOutputDevice::CloseStream() {
    Pa_CloseStream(stream_);
    stream_ = nullptr;
}

PortAudioOutputDevice::~PortAudioOutputDevice() {
    Ring().Halt();
    if (stream_ != nullptr) {
        Pa_AbortStream(stream_);
        CloseStream();
    }
    if (initialised_) Pa_Terminate();
}

void PortAudioOutputDevice::Play() {
    // The ring first, so that the stream's very first callback plays from cursor 0.
    Ring().Start();
    if (stream_ != nullptr) return;
    if (!OpenStream()) return;
    if (Pa_StartStream(stream_) != paNoError) CloseStream();
}

void PortAudioOutputDevice::Stop() {
    Ring().Halt();
    if (stream_ == nullptr) return;
    // Stopping and closing drops what the sound server still holds (its drain does not
    // wait for it). The callbacks hand over silence now: let the last ring frames, one
    // callback's worth and the host's latency ahead, be heard first.
    const std::chrono::duration<double> heldByHost(outputLatency_ +
                                                   double(kFramesPerCallback) / kRate);
    std::this_thread::sleep_for(heldByHost);
    Pa_StopStream(stream_);
    CloseStream();
}

}  // namespace sonvira
