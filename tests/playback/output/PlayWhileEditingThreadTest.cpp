// The window's playback logic and the stream thread together, as the program runs them:
// the controller plays a sound through the real stream thread into a fake device whose
// clock runs on a third thread, while the window thread applies each in-place effect,
// pauses, resumes, moves the position and steps the speed. Under ThreadSanitizer any
// sample or field touched by two threads without a lock or an atomic is reported.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "DeviceSoundOutput.h"
#include "Echo.h"
#include "EditResult.h"
#include "FakeOutputDevice.h"
#include "FakePlaybackControls.h"
#include "Fades.h"
#include "PlaybackController.h"
#include "Reverse.h"
#include "Volume.h"

namespace sonvira {
namespace {

using namespace std::chrono_literals;

constexpr int32_t kRate = 44100;
constexpr int32_t kFrames = 3 * kRate;  // several effect chunks long
constexpr int16_t kLevel = 1000;

// Plays the fake device's ring at the real rate in 256-frame chunks and keeps the
// left sample last heard.
class DeviceClock {
public:
    explicit DeviceClock(FakeOutputDevice& device)
        : thread_([this, &device] {
              std::vector<int16_t> chunk(2 * kChunk);
              auto next = std::chrono::steady_clock::now();
              while (!done_) {
                  next += std::chrono::microseconds(kChunk * 1000000 / kRate);
                  std::this_thread::sleep_until(next);
                  device.Consume(chunk.data(), kChunk);
                  heard_ = chunk[2 * (kChunk - 1)];
              }
          }) {}
    ~DeviceClock() {
        done_ = true;
        thread_.join();
    }
    int16_t Heard() const { return heard_; }
    // Waits until the sound heard is `level` (within 2 %), at most two seconds.
    bool WaitForLevel(int level) const {
        for (auto end = std::chrono::steady_clock::now() + 2s; std::chrono::steady_clock::now() < end;) {
            if (std::abs(Heard() - level) <= level / 50) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

private:
    static constexpr int32_t kChunk = 256;
    std::atomic<bool> done_{false};
    std::atomic<int16_t> heard_{0};
    std::thread thread_;
};

void LoadSteadyLevel(AudioDocument& doc) {
    auto* block = static_cast<int16_t*>(std::malloc(size_t{kFrames} * 4));
    for (int32_t i = 0; i < 2 * kFrames; ++i) block[i] = kLevel;
    doc.InstallBlock(reinterpret_cast<uint8_t*>(block), kFrames * 4, kRate, true, true);
}

struct PlayingFixture : ::testing::Test {
    AudioDocument doc;
    test::FakePlaybackControls controls;
    PlaybackController controller{doc, controls};
    FakeOutputDevice* device = nullptr;

    PlayingFixture() {
        LoadSteadyLevel(doc);
        auto owned = std::make_unique<FakeOutputDevice>();
        device = owned.get();
        controller.SetOutput(std::make_unique<DeviceSoundOutput>(std::move(owned)));
        controls.speed.changed = [this] { controller.SpeedFieldChanged(); };
        controls.pitch.changed = [this] { controller.PitchFieldChanged(); };
    }
};

TEST_F(PlayingFixture, EveryInPlaceEffectWhilePlaying) {
    const struct {
        const char* name;
        std::function<EditResult(AudioDocument&)> apply;
    } effects[] = {
        {"echo", [](AudioDocument& d) { return Echo(d, 1000); }},
        {"fade in", [](AudioDocument& d) { return FadeIn(d, kRate); }},
        {"fade out", [](AudioDocument& d) { return FadeOut(d, kRate); }},
        {"normalise", [](AudioDocument& d) { return Normalise(d); }},
        {"louder", [](AudioDocument& d) { return Louder(d); }},
        {"quieter", [](AudioDocument& d) { return Quieter(d); }},
        {"reverse", [](AudioDocument& d) { return Reverse(d); }},
    };
    DeviceClock clock(*device);
    ASSERT_TRUE(controller.BeginPlay());
    for (const auto& effect : effects) {
        std::this_thread::sleep_for(30ms);
        EXPECT_EQ(effect.apply(doc), EditResult::SamplesChanged) << effect.name;
        EXPECT_TRUE(controller.PlayGoesOn()) << effect.name;
    }
    controller.EndPlay();
    EXPECT_FALSE(device->IsPlaying());
}

TEST_F(PlayingFixture, AnEffectIsHeardAtOnce) {
    DeviceClock clock(*device);
    ASSERT_TRUE(controller.BeginPlay());
    ASSERT_TRUE(clock.WaitForLevel(kLevel));
    Louder(doc);
    EXPECT_TRUE(clock.WaitForLevel(kLevel * 110 / 100)) << "heard " << clock.Heard();
    controller.EndPlay();
}

TEST_F(PlayingFixture, WindowActionsWhileTheStreamRenders) {
    DeviceClock clock(*device);
    ASSERT_TRUE(controller.BeginPlay());
    for (int round = 0; round < 20; ++round) {
        controller.SetHighQuality(round % 4 < 2);  // the engine switched under the stream
        controller.PauseOrResume();
        std::this_thread::sleep_for(3ms);
        controller.HotKey(round % 2 == 0 ? 2 : 1);
        controller.SetPlayPosition(round * 1000.0);
        EXPECT_TRUE(controller.PlayGoesOn());
    }
    controller.RequestStop();
    EXPECT_FALSE(controller.PlayGoesOn());
    controller.EndPlay();
}

}  // namespace
}  // namespace sonvira
