// Speed of the playback engine. "x_real_time" is seconds of sound rendered per second
// of CPU time; the stream thread needs far more than 1 to keep the device fed.

#include "FFT.h"
#include "FillBuffer.h"
#include "PermanentChange.h"
#include "PitchShiftBlock.h"
#include "RubberBandRenderer.h"
#include "ScalarReferenceRenderer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

void SetRealTimeCounter(benchmark::State& state) {
    // Seconds of 44100 Hz sound per iteration, as a rate: sound seconds per CPU second.
    state.counters["x_real_time"] = benchmark::Counter(
        (kOutputBlockBytes / 4.0) / kOutputRate, benchmark::Counter::kIsIterationInvariantRate);
}

reference::Document MakeDocument(int32_t rate, bool stereo, bool is16) {
    const int32_t frames = rate * 60;  // one minute, looping
    reference::Document d{{}, rate, stereo, is16};
    d.data.resize(static_cast<size_t>(frames * (stereo ? 2 : 1) * (is16 ? 2 : 1)));
    std::mt19937 rng(3);
    for (auto& b : d.data) b = static_cast<uint8_t>(rng());
    return d;
}

int32_t FramesOf(const reference::Document& d) {
    return static_cast<int32_t>(d.data.size()) / (d.stereo ? 2 : 1) / (d.is16 ? 2 : 1);
}

void RenderDocument(benchmark::State& state, int32_t rate, bool stereo, bool is16) {
    const reference::Document d = MakeDocument(rate, stereo, is16);
    const auto bytes = static_cast<int32_t>(d.data.size());
    const int32_t frames = FramesOf(d);
    auto* block = static_cast<uint8_t*>(std::malloc(d.data.size()));
    std::copy(d.data.begin(), d.data.end(), block);
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
    SetRealTimeCounter(state);
}

// The scalar reference renderer (per-call vectors, scalar FFT, std::nearbyint), for
// comparison with the engine, which gives the same bits.
void RenderScalarReference(benchmark::State& state, int32_t rate, bool stereo, bool is16) {
    const reference::Document d = MakeDocument(rate, stereo, is16);
    reference::State playback;
    playback.RangeEnd = FramesOf(d);
    playback.SpeedFactor = 0.8;
    playback.PitchFactor = 0.8;
    std::vector<int16_t> out(kOutputBlockBytes / 2);
    for (auto _ : state) {
        reference::FillBuffer(playback, d, out.data(), kOutputBlockBytes);
        benchmark::DoNotOptimize(out.data());
    }
    SetRealTimeCounter(state);
}

void BM_FillBuffer_16BitStereo44100(benchmark::State& state) {
    RenderDocument(state, 44100, true, true);
}
BENCHMARK(BM_FillBuffer_16BitStereo44100);

void BM_FillBuffer_8BitMono22050(benchmark::State& state) {
    RenderDocument(state, 22050, false, false);
}
BENCHMARK(BM_FillBuffer_8BitMono22050);

// The high-quality renderer at half speed with the pitch kept (coupled fields), stereo
// 44.1 kHz: its "x_real_time" inverted is the share of one core that playback takes.
void BM_RubberBand_HalfSpeed16BitStereo44100(benchmark::State& state) {
    const reference::Document d = MakeDocument(44100, true, true);
    auto* block = static_cast<uint8_t*>(std::malloc(d.data.size()));
    std::copy(d.data.begin(), d.data.end(), block);
    AudioDocument doc;
    doc.InstallBlock(block, static_cast<int32_t>(d.data.size()), 44100, true, true);
    PlaybackState playback;
    playback.RangeEnd = FramesOf(d);
    playback.SpeedFactor = 0.5;
    playback.PitchFactor = 0.5;
    RubberBandRenderer renderer;
    std::vector<int16_t> out(kOutputBlockBytes / 2);
    for (int warm = 0; warm < 8; ++warm) renderer.Render(playback, doc, out.data(), kOutputBlockBytes);
    for (auto _ : state) {
        renderer.Render(playback, doc, out.data(), kOutputBlockBytes);
        benchmark::DoNotOptimize(out.data());
    }
    SetRealTimeCounter(state);
}
BENCHMARK(BM_RubberBand_HalfSpeed16BitStereo44100);

void BM_ScalarReference_16BitStereo44100(benchmark::State& state) {
    RenderScalarReference(state, 44100, true, true);
}
BENCHMARK(BM_ScalarReference_16BitStereo44100);

// Ten minutes of 44100 Hz 16-bit stereo made permanent at pitch 1.3; "x_real_time" is
// minutes of sound per minute of CPU.
void BM_PermanentChange_TenMinutes16BitStereo(benchmark::State& state) {
    constexpr int32_t kSeconds = 600;
    const int32_t bytes = 44100 * kSeconds * 4;
    auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes)));
    std::mt19937 rng(5);
    for (int32_t i = 0; i < bytes; ++i) block[i] = static_cast<uint8_t>(rng() >> 3);
    AudioDocument doc;
    doc.InstallBlock(block, bytes, 44100, true, true);
    for (auto _ : state) {
        doc.SampleRate = 44100;
        ApplyPermanentChange(doc, 1.0, 1.3, nullptr);
        benchmark::DoNotOptimize(doc.SampleData);
    }
    state.counters["x_real_time"] =
        benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PermanentChange_TenMinutes16BitStereo)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
