// Opening a ten-minute 128 kbit/s stereo MP3 (decode into a temporary WAV and read it) and
// saving ten minutes as a 128 kbit/s MP3, as × real time, next to `mpg123 -w` and `lame`
// with the same settings on the same files.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstring>

#include "BenchSound.h"
#include "MakeMp3Decoder.h"
#include "OpenMp3File.h"
#include "SaveAsMP3File.h"

namespace sonvira::bench {
namespace {

// CPU seconds used so far by this process (or by its finished child processes).
double CpuSeconds(int who) {
    rusage u {};
    getrusage(who, &u);
    auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

// Runs `work` once per iteration and reports how many times faster than real time it is,
// by the wall clock and by CPU time (the machine is shared, so the wall clock is noisy).
template <typename Work>
void Measure(benchmark::State& state, bool command, Work work) {
    const int who = command ? RUSAGE_CHILDREN : RUSAGE_SELF;
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = CpuSeconds(who);
        work();
        cpu += CpuSeconds(who) - c0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["x_realtime"] = kSeconds * n / wall;
    state.counters["x_realtime_cpu"] = kSeconds * n / cpu;
}

void Run(const std::string& cmd) {
    if (std::system(cmd.c_str()) != 0) std::abort();
}

void BM_OpenMp3(benchmark::State& state) {
    const std::string dir = BenchFolder();
    Mp3FormatList formats;
    EnumerateMp3CodecFormats(formats);
    TACMConvertor conv = MakeMp3Decoder();
    std::atomic<bool> stop{false};
    Measure(state, false, [&] {
        WavSound sound;
        const Mp3OpenResult r = OpenMp3File(dir + "/sound.mp3", dir, conv, formats, stop, {}, sound);
        if (!r.read) std::abort();
        benchmark::DoNotOptimize(sound.block.get());
    });
}

void BM_Mpg123Command(benchmark::State& state) {
    const std::string dir = BenchFolder();
    Measure(state, true, [&] { Run("mpg123 -q -w '" + dir + "/mpg123.wav' '" + dir + "/sound.mp3'"); });
}

void BM_SaveMp3(benchmark::State& state) {
    const std::string dir = BenchFolder();
    const auto pcm = TestSound();
    AudioDocument doc;
    auto* block = static_cast<uint8_t*>(std::malloc(pcm.size() * 2));
    std::memcpy(block, pcm.data(), pcm.size() * 2);
    doc.InstallBlock(block, static_cast<int32_t>(pcm.size() * 2), kRate, true, true);
    Measure(state, false, [&] {
        const auto encoder = MakeLameEncoder();
        if (SaveAsMP3File(dir + "/saved.mp3", doc, {44100, 128}, {}, *encoder) != 0) std::abort();
    });
}

// The same settings as the export: CBR 128, plain stereo, quality 2 (-h), no tag frame.
void BM_LameCommand(benchmark::State& state) {
    const std::string dir = BenchFolder();
    Measure(state, true, [&] {
        Run("lame --quiet -h -m s --cbr -b 128 -t '" + dir + "/sound.wav' '" + dir + "/lame.mp3'");
    });
}

BENCHMARK(BM_OpenMp3)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_Mpg123Command)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_SaveMp3)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(BM_LameCommand)->Unit(benchmark::kSecond)->Iterations(2);

}  // namespace
}  // namespace sonvira::bench

BENCHMARK_MAIN();
