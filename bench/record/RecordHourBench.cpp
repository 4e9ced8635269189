// One hour of capture (38760 blocks of 16384 bytes, 635 MB) through the fake input into
// the recorder's worker, as fast as the worker takes it: the time per ten minutes of
// sound (flat when the copying is linear in the recording's size) and the peak resident
// memory against the recording's size.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "FakeCaptureDevice.h"
#include "Recorder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kBlockFrames = sonvira::CaptureRing::kBlockFrames;
constexpr int64_t kBlocksPerHour = 38760;  // 3600 s * 44100 / 4096, rounded up
constexpr int64_t kBlocksPerTenMinutes = kBlocksPerHour / 6;
// The input runs ahead of the worker by at most this many blocks, well inside the ring.
constexpr int64_t kMaxLead = 16;

long PeakResidentKb() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
    using namespace sonvira;
    // A block of sound per callback, as the real input delivers it; its frames differ.
    std::vector<int16_t> frames(2 * size_t{kBlockFrames});
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int16_t>(i * 7);

    FakeCaptureDevice input;
    Recorder recorder([&] { return input.Share(); });
    const auto residentBefore = static_cast<double>(PeakResidentKb());
    recorder.StartCapture();
    const Clock::time_point start = Clock::now();
    Clock::time_point segmentStart = start;
    for (int64_t block = 0; block < kBlocksPerHour; ++block) {
        while (block - recorder.RecordedSize() / Recorder::kBlockBytes >= kMaxLead) {
            std::this_thread::yield();
        }
        input.Deliver(frames.data(), kBlockFrames);
        if ((block + 1) % kBlocksPerTenMinutes == 0) {
            const Clock::time_point now = Clock::now();
            std::printf("minutes %2lld-%2lld of sound: %.3f s, %.2f us per block\n",
                        static_cast<long long>(block + 1) / kBlocksPerTenMinutes * 10 - 10,
                        static_cast<long long>(block + 1) / kBlocksPerTenMinutes * 10,
                        Seconds(now - segmentStart),
                        1e6 * Seconds(now - segmentStart) / double(kBlocksPerTenMinutes));
            segmentStart = now;
        }
    }
    recorder.StopCapture();
    const double elapsed = Seconds(Clock::now() - start);
    const auto peakKb = static_cast<double>(PeakResidentKb());
    const Recorder::Recording taken = recorder.TakeRecording();
    const double recordingMb = double(taken.size) / 1048576.0;
    std::printf("recorded %.1f MB (%lld blocks, %lld dropped) in %.2f s: %.0f x real time\n",
                recordingMb, static_cast<long long>(taken.size / Recorder::kBlockBytes),
                static_cast<long long>(recorder.DroppedBlocks()), elapsed, 3600.0 / elapsed);
    std::printf("peak resident %.1f MB (%.1f MB before): %.3f x the recording\n", peakKb / 1024.0,
                residentBefore / 1024.0, (peakKb - residentBefore) / 1024.0 / recordingMb);
    std::free(taken.block);
    return taken.size == kBlocksPerHour * Recorder::kBlockBytes ? 0 : 1;
}
