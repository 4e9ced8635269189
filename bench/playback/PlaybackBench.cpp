// Speed of the playback engine. "x_real_time" is seconds of sound rendered per second
// of CPU time; the stream thread needs far more than 1 to keep the device fed.

#include "FFT.h"
#include "FillBuffer.h"
#include "PitchShiftBlock.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

using namespace sonvira;

void BM_FFT1024(benchmark::State& state) {
    std::mt19937 rng(1);
    std::vector<double> x(1024), y(1024);
    for (auto& v : x) v = static_cast<double>(rng() % 65536) - 32768.0;
    int direction = 1;
    for (auto _ : state) {
        FFT(direction, 10, x.data(), y.data());
        direction = -direction;
        benchmark::DoNotOptimize(x.data());
    }
}
BENCHMARK(BM_FFT1024);

void BM_PitchShiftBlock(benchmark::State& state) {
    std::mt19937 rng(2);
    std::vector<int16_t> block(2048);
    for (auto& v : block) v = static_cast<int16_t>(rng());
    for (auto _ : state) {
        PitchShiftBlock(block.data(), 1024, 1.3);
        benchmark::DoNotOptimize(block.data());
    }
    // 1024 frames of 44100 Hz output per call.
    state.counters["x_real_time"] = benchmark::Counter(
        1024.0 / kOutputRate, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PitchShiftBlock);

void RenderDocument(benchmark::State& state, int32_t rate, bool stereo, bool is16) {
    const int32_t frames = rate * 60;  // one minute, looping
    const int32_t bytes = frames * (stereo ? 2 : 1) * (is16 ? 2 : 1);
    auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes)));
    std::mt19937 rng(3);
    for (int32_t i = 0; i < bytes; ++i) block[i] = static_cast<uint8_t>(rng());
    AudioDocument doc;
    doc.InstallBlock(block, bytes, rate, stereo, is16);

    PlaybackState playback;
    playback.RangeEnd = frames;
    playback.SpeedFactor = 0.8;
    playback.PitchFactor = 0.8;
    std::vector<int16_t> out(kOutputBlockBytes / 2);
    for (auto _ : state) {
        FillBuffer(playback, doc, out.data(), kOutputBlockBytes);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["x_real_time"] = benchmark::Counter(
        (kOutputBlockBytes / 4.0) / kOutputRate, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_FillBuffer_16BitStereo44100(benchmark::State& state) {
    RenderDocument(state, 44100, true, true);
}
BENCHMARK(BM_FillBuffer_16BitStereo44100);

void BM_FillBuffer_8BitMono22050(benchmark::State& state) {
    RenderDocument(state, 22050, false, false);
}
BENCHMARK(BM_FillBuffer_8BitMono22050);

}  // namespace

BENCHMARK_MAIN();
