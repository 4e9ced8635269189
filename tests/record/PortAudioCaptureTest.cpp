// The real input through PortAudio under the private PulseAudio server that test.sh
// starts, whose default source is the null sink's monitor: a tone played into the sink
// with paplay is recorded as whole blocks at its frequency. Without any input device
// the recorder records nothing and still stops.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "PortAudioCaptureDevice.h"
#include "Recorder.h"
#include "TempDir.h"

extern char** environ;


namespace sonvira {
namespace {

using namespace std::chrono_literals;

constexpr double kToneHz = 440.0;
constexpr double kToneAmplitude = 16384.0;  // sox's "vol 0.5"

using test::Spawn;
using test::WaitFor;

double ProcessCpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

std::vector<int16_t> LeftChannel(const uint8_t* block, int32_t size) {
    std::vector<int16_t> left(size_t(size / 4));
    for (size_t i = 0; i < left.size(); ++i) std::memcpy(&left[i], block + 4 * i, 2);
    return left;
}

// Frequency from the rising zero crossings, each placed between its two samples.
double ZeroCrossingFrequency(const std::vector<int16_t>& x) {
    std::vector<double> crossings;
    for (size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            crossings.push_back(double(i - 1) + double(-x[i - 1]) / double(x[i] - x[i - 1]));
        }
    }
    if (crossings.size() < 2) return 0;
    return double(crossings.size() - 1) * 44100.0 / (crossings.back() - crossings.front());
}

double Rms(const std::vector<int16_t>& x) {
    double power = 0;
    for (const int16_t v : x) power += double(v) * v;
    return x.empty() ? 0 : std::sqrt(power / double(x.size()));
}

TEST(SoundServer, ToneFromTheSinksMonitor_RecordedAsWholeBlocksAtItsFrequency) {
    ASSERT_NE(std::getenv("PULSE_RUNTIME_PATH"), nullptr)
        << "needs the private PulseAudio server that test.sh starts";
    test::TempDir dir;
    const std::string tone = dir.file("tone.wav");
    ASSERT_EQ(WaitFor(Spawn({"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", tone, "synth", "5",
                             "sine", "440", "vol", "0.5"}),
                      10s),
              0)
        << "sox could not make the tone";
    const pid_t player = Spawn({"paplay", tone});
    ASSERT_GT(player, 0) << "paplay could not be started";
    std::this_thread::sleep_for(700ms);  // the tone reaches the sink before recording starts

    Recorder recorder(PortAudioCaptureDevice::Create);
    recorder.StartCapture();
    ASSERT_TRUE(recorder.DeviceOpen()) << "the default input could not be opened";
    // A null sink that idled has rendered ahead of the clock: its monitor hands out the
    // first frames only after 1 to 2 s. Record one second from the first block on.
    const auto startLimit = std::chrono::steady_clock::now() + 8s;
    while (recorder.RecordedSize() == 0 && std::chrono::steady_clock::now() < startLimit) {
        std::this_thread::sleep_for(5ms);
    }
    const auto firstBlockAt = std::chrono::steady_clock::now();
    const double cpuBefore = ProcessCpuSeconds();
    std::this_thread::sleep_until(firstBlockAt + 1000ms);
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const auto stopAt = std::chrono::steady_clock::now();
    recorder.StopCapture();
    const auto stopping = std::chrono::steady_clock::now() - stopAt;
    kill(player, SIGTERM);
    WaitFor(player, 5s);
    std::cout << "process CPU while recording: " << 100 * cpu << " % of one core; stop took "
              << std::chrono::duration<double, std::milli>(stopping).count() << " ms\n";

    const Recorder::Recording taken = recorder.TakeRecording();
    const std::unique_ptr<uint8_t, decltype(&std::free)> owned(taken.block, &std::free);
    EXPECT_EQ(taken.size % Recorder::kBlockBytes, 0);
    const double seconds = taken.size / 176400.0;
    std::cout << "recorded " << taken.size / Recorder::kBlockBytes << " blocks, " << seconds
              << " s\n";
    // One second after the first block, give or take the blocks the host hands over
    // together and the partly filled last one.
    EXPECT_GE(seconds, 0.8);
    EXPECT_LE(seconds, 1.4);
    EXPECT_EQ(recorder.DroppedBlocks(), 0);
    const std::vector<int16_t> left = LeftChannel(taken.block, taken.size);
    EXPECT_NEAR(Rms(left), kToneAmplitude / std::sqrt(2.0), 0.12 * kToneAmplitude)
        << "the tone does not fill the recording";
    EXPECT_NEAR(ZeroCrossingFrequency(left), kToneHz, 1.0);
}

// Without any input (an ALSA configuration whose only device is a sound server that
// does not exist) the recorder opens nothing, records nothing and stops.
TEST(SoundServer, NoInputDevice_NothingRecordedAndTheRunStops) {
    test::TempDir dir;
    EXPECT_EQ(test::RunWithoutSoundDevices(dir.path().string(), [] {
                  Recorder recorder(PortAudioCaptureDevice::Create);
                  recorder.StartCapture();
                  const bool opened = recorder.DeviceOpen();
                  std::this_thread::sleep_for(200ms);
                  recorder.StopCapture();
                  return !opened && recorder.RecordedSize() == 0;
              }),
              0);
}

}  // namespace
}  // namespace sonvira
