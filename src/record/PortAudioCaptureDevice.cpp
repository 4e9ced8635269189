#include "PortAudioCaptureDevice.h"

#include "QuietDeviceProbe.h"

#include <portaudio.h>

namespace sonvira {
namespace {

constexpr double kRate = 44100.0;
constexpr int kChannels = 2;

// Runs on PortAudio's audio thread: copies into the ring and moves atomics only.
int CaptureIntoRing(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                    PaStreamCallbackFlags status, void* ring) {
    if ((status & paInputOverflow) != 0) static_cast<CaptureRing*>(ring)->NoteInputOverflow();
    if (input != nullptr) {
        static_cast<CaptureRing*>(ring)->Write(static_cast<const int16_t*>(input),
                                               static_cast<int32_t>(frames));
    }
    return paContinue;
}

}  // namespace

std::unique_ptr<CaptureDevice> PortAudioCaptureDevice::Create() {
    std::unique_ptr<PortAudioCaptureDevice> device(new PortAudioCaptureDevice);
    if (!device->Initialise()) return nullptr;
    return device;
}

bool PortAudioCaptureDevice::Initialise() {
    const QuietDeviceProbe quiet;
    if (Pa_Initialize() != paNoError) return false;
    initialised_ = true;
    const PaDeviceIndex index = Pa_GetDefaultInputDevice();
    if (index == paNoDevice) return false;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr) return false;
    deviceIndex_ = index;
    // The ring holds 3 s; a longer host buffer only keeps sound servers reached through
    // ALSA from overrunning.
    suggestedLatency_ = info->defaultHighInputLatency;
    return true;
}

PortAudioCaptureDevice::~PortAudioCaptureDevice() {
    Stop();
    if (initialised_) Pa_Terminate();
}

bool PortAudioCaptureDevice::Start(CaptureRing& ring) {
    Stop();
    PaStreamParameters params{};
    params.device = deviceIndex_;
    params.channelCount = kChannels;
    params.sampleFormat = paInt16;
    params.suggestedLatency = suggestedLatency_;
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, &params, nullptr, kRate, kFramesPerCallback, paClipOff,
                      CaptureIntoRing, &ring) != paNoError) {
        return false;
    }
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return false;
    }
    stream_ = stream;
    return true;
}

void PortAudioCaptureDevice::Stop() {
    if (stream_ == nullptr) return;
    // Abort: what the host still holds is the partly filled last block, not recorded.
    Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
}

}  // namespace sonvira
