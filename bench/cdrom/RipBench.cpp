// The rip loop against a simulated drive that answers at once: how many sectors per second
// the program itself handles (a 200x drive delivers 75 x 200 = 15000), plain and karaoke.
// Reported as sectors/s; the position display and the log go to a listener that keeps the
// last text only, as the dialog's label does.

#include <benchmark/benchmark.h>

#include "RipTrack.h"
#include "SimulatedCdDrive.h"
#include "TranslationContext.h"

namespace {

constexpr uint32_t kTrackSectors = 75 * 300;  // a five-minute track

struct LastTextListener : sonvira::RipListener {
    std::string label;
    std::string line;
    sonvira::TranslationContext& tr;
    explicit LastTextListener(sonvira::TranslationContext& translation) : tr(translation) {}
    void Log(sonvira::DeferredText text) override { line = text(tr); }
    void ShowPosition(const std::string& text) override { label = text; }
    bool CancelRequested() override { return false; }
};

void RipFiveMinutes(benchmark::State& state, bool karaoke) {
    sonvira::SimulatedDisc disc;
    disc.TrackStarts = {0};
    disc.LeadOut = kTrackSectors;
    sonvira::TranslationContext tr;
    for (auto _ : state) {
        sonvira::SimulatedCdTransport transport;  // fresh: its command record grows per read
        transport.AddDrive("/dev/sr0", disc);
        LastTextListener listener(tr);
        const sonvira::RipResult result =
            sonvira::RipTrack(transport, {"/dev/sr0", true, 1, karaoke}, {}, listener);
        benchmark::DoNotOptimize(result.Sound.data());
    }
    state.counters["sectors/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kTrackSectors, benchmark::Counter::kIsRate);
}

void BM_RipFiveMinuteTrack(benchmark::State& state) { RipFiveMinutes(state, false); }
void BM_RipFiveMinuteTrackKaraoke(benchmark::State& state) { RipFiveMinutes(state, true); }
BENCHMARK(BM_RipFiveMinuteTrack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RipFiveMinuteTrackKaraoke)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
