#include "PlaybackStream.h"

#include "FillBuffer.h"

namespace sonvira {

std::unique_ptr<TMyThread> PrimeAndStart(OutputDevice& device, PlaybackState& state,
                                         const AudioDocument& doc, BlockRenderer& renderer) {
    auto thread = std::make_unique<TMyThread>(device, state, doc, renderer);
    DeviceBuffer& ring = device.Lock();
    ring.Zero();
    device.Unlock();
    renderer.Restart();
    renderer.Render(state, doc, thread->StagingBuffer(), kOutputBlockBytes);
    device.Play();
    thread->Start();
    return thread;
}

void StopAndJoin(OutputDevice& device, std::unique_ptr<TMyThread>& thread) {
    device.Stop();
    if (!thread) return;
    thread->Terminate();
    thread->WaitFor();
    thread.reset();
}

}  // namespace sonvira
