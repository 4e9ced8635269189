// Cost of drawing the whole waveform view (1000 × 400) for a long sound at several
// zooms: it should not depend on the zoom, and stay well under a millisecond so the play
// marker can move smoothly.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "WaveformDrawing.h"

namespace {

void BM_DrawWaveform(benchmark::State& state) {
    sonvira::AudioDocument doc;
    const int32_t bytes = 60 * 44100 * 4;  // one minute of 16-bit stereo
    auto* block = static_cast<uint8_t*>(std::malloc(bytes));
    for (int32_t i = 0; i < bytes; ++i) block[i] = static_cast<uint8_t>(i * 37);
    doc.InstallBlock(block, bytes, 44100, true, true);
    doc.SelAnchor = 1000;
    doc.SelEnd = 900000;
    QImage bitmap(1000, 400, QImage::Format_RGB32);
    const auto zoom = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        sonvira::DrawWaveform(bitmap, doc, {0, zoom}, 500);
        benchmark::DoNotOptimize(bitmap.bits());
    }
    state.counters["us_per_paint"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert) ;
}
BENCHMARK(BM_DrawWaveform)->Arg(1)->Arg(100)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
