// Normalise and reverse over ten minutes of 44100 Hz 16-bit stereo, the longest
// in-place effects a user waits for; reported in ms per run.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "AudioDocument.h"
#include "Reverse.h"
#include "Volume.h"

namespace {

constexpr int32_t kFrames = 44100 * 600;

void LoadTenMinutes(sonvira::AudioDocument& doc) {
    const int32_t size = kFrames * 4;
    auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
    uint32_t noise = 12345;
    for (int32_t k = 0; k < size; ++k) {
        noise = noise * 1664525u + 1013904223u;  // quiet noise: normalise has work to do
        block[k] = static_cast<uint8_t>(k % 2 == 1 ? (noise >> 30) : (noise >> 24));
    }
    doc.InstallBlock(block, size, 44100, true, true);
}

void BM_NormaliseTenMinutes(benchmark::State& state) {
    sonvira::AudioDocument doc;
    LoadTenMinutes(doc);
    for (auto _ : state) benchmark::DoNotOptimize(sonvira::Normalise(doc));
}
BENCHMARK(BM_NormaliseTenMinutes)->Unit(benchmark::kMillisecond);

void BM_ReverseTenMinutes(benchmark::State& state) {
    sonvira::AudioDocument doc;
    LoadTenMinutes(doc);
    for (auto _ : state) benchmark::DoNotOptimize(sonvira::Reverse(doc));
}
BENCHMARK(BM_ReverseTenMinutes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
