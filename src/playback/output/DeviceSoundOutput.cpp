#include "DeviceSoundOutput.h"

#include "PlaybackStream.h"
#include "PortAudioOutputDevice.h"

namespace sonvira {

DeviceSoundOutput::DeviceSoundOutput(std::unique_ptr<OutputDevice> device)
    : device_(std::move(device)) {}

// The device is stopped and the stream thread joined before either is released.
DeviceSoundOutput::~DeviceSoundOutput() { Stop(); }

std::unique_ptr<SoundOutput> DeviceSoundOutput::OpenDefault() {
    auto device = PortAudioOutputDevice::Create();
    if (!device) return nullptr;
    return std::make_unique<DeviceSoundOutput>(std::move(device));
}

void DeviceSoundOutput::Start(PlaybackState& state, const AudioDocument& doc) {
    Stop();
    stream_ = PrimeAndStart(*device_, state, doc, renderer_);
}

void DeviceSoundOutput::Stop() { StopAndJoin(*device_, stream_); }

}  // namespace sonvira
