// Block render times of the stream thread: every event of the render event table (steady
// play, clicks, pause and resume, engine switches, factor changes and sweeps, loop
// restarts, new sounds of other rates and channel counts), each block of 2048 frames timed
// on its own, for both engines. Prints the median, 99th percentile and worst block per
// event, and over all events apart from the fields' limits (where the high-quality
// engine does up to 16 times the usual work) and over those; a block has 46.4 ms (half the
// device ring) before it is late.
//
//   playback_block_time_bench [rounds] [busy threads]
//
// rounds: how often each event is played (default 5); busy threads: threads that spin
// meanwhile, to see the figures on a loaded machine (default 0).

#include "RenderEventTable.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using namespace sonvira::test;
using Clock = std::chrono::steady_clock;

struct Figures {
    double median, p99, worst;  // milliseconds
};

Figures Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[static_cast<size_t>(q * static_cast<double>(ms.size() - 1) + 0.5)]; };
    return {at(0.5), at(0.99), ms.back()};
}

std::vector<double> TimeEvent(const RenderEvent& event, bool highQuality, RenderSession& session, int rounds) {
    std::vector<double> ms;
    for (int round = 0; round < rounds; ++round) {
        PlayEvent(event, highQuality, session, [&ms](const auto& render) {
            const auto start = Clock::now();
            render();
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        });
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int busy = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    std::atomic<bool> stop{false};
    std::vector<std::thread> spinners;
    for (int i = 0; i < busy; ++i)
        spinners.emplace_back([&stop] {
            volatile double x = 1.0;
            while (!stop.load(std::memory_order_relaxed)) x = x * 1.0000001 + 1e-9;
        });

    std::printf("block render times, 2048 frames (46.4 ms of sound), %d rounds, %d busy threads\n", rounds, busy);
    std::printf("%-36s %-13s %9s %9s %9s\n", "event", "engine", "median", "p99", "worst");
    std::vector<double> all[2], limits[2];
    for (const bool highQuality : {false, true}) {
        RenderSession session;  // made as the sound output makes it, before any sound plays
        for (const RenderEvent& event : kRenderEvents) {
            const std::vector<double> ms = TimeEvent(event, highQuality, session, rounds);
            std::vector<double>& group = event.fieldLimits ? limits[highQuality] : all[highQuality];
            group.insert(group.end(), ms.begin(), ms.end());
            const Figures f = Summarise(ms);
            std::printf("%-36s %-13s %6.2f ms %6.2f ms %6.2f ms\n", event.name,
                        highQuality ? "high quality" : "standard", f.median, f.p99, f.worst);
        }
    }
    for (const bool highQuality : {false, true}) {
        const Figures f = Summarise(all[highQuality]);
        const Figures l = Summarise(limits[highQuality]);
        std::printf("%-36s %-13s %6.2f ms %6.2f ms %6.2f ms\n", "all events but the field limits",
                    highQuality ? "high quality" : "standard", f.median, f.p99, f.worst);
        std::printf("%-36s %-13s %6.2f ms %6.2f ms %6.2f ms\n", "field limits",
                    highQuality ? "high quality" : "standard", l.median, l.p99, l.worst);
    }
    stop = true;
    for (auto& t : spinners) t.join();
    return 0;
}
