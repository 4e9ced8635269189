// The play command's logic without a window: range, stop rule, pause with rewind, hot
// keys and the coupled factor fields, against fake controls and a recording output.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "FakePlaybackControls.h"
#include "PlaybackController.h"

namespace sonvira {
namespace {

struct RecordingOutput final : SoundOutput {
    int starts = 0, stops = 0;
    void Start(PlaybackState&, const AudioDocument&) override { ++starts; }
    void Stop() override { ++stops; }
};

struct ControllerFixture : ::testing::Test {
    AudioDocument doc;
    test::FakePlaybackControls controls;
    PlaybackController controller{doc, controls};
    RecordingOutput* output = new RecordingOutput;

    ControllerFixture() {
        controller.SetOutput(std::unique_ptr<SoundOutput>(output));
        controls.speed.changed = [this] { controller.SpeedFieldChanged(); };
        controls.pitch.changed = [this] { controller.PitchFieldChanged(); };
    }
    void Load(int32_t frames, bool stereo, int32_t rate = 44100) {
        const int32_t bytes = frames * (stereo ? 4 : 2);
        doc.InstallBlock(static_cast<uint8_t*>(std::calloc(size_t(bytes), 1)), bytes, rate, stereo,
                         true);
    }
    PlaybackState& state() { return controller.State(); }
};

TEST_F(ControllerFixture, PlayRangeComesFromTheSelection) {
    const struct {
        int32_t anchor, end;
        bool stereo;
        int32_t start, stop;
    } cases[] = {
        {1001, 3001, true, 500, 1500},
        {3001, 1001, true, 500, 1500},    // bounds in reverse order
        {7, 7, false, 0, 10000},          // nothing selected: the whole sound
        {100, 20000, false, 100, 20000},  // not limited here; the renderer limits it
    };
    for (const auto& c : cases) {
        Load(10000, c.stereo);
        doc.SelAnchor = c.anchor;
        doc.SelEnd = c.end;
        state().Paused = true;
        ASSERT_TRUE(controller.BeginPlay());
        EXPECT_EQ(state().RangeStart, c.start) << c.anchor << "," << c.end;
        EXPECT_EQ(state().RangeEnd, c.stop) << c.anchor << "," << c.end;
        EXPECT_EQ(state().PlayPosition, c.start);
        EXPECT_EQ(state().FrameCount, 10000);
        EXPECT_FALSE(state().Paused);
        controller.EndPlay();
    }
}

TEST_F(ControllerFixture, PlayStartsOnceAndEndsWithTheOutputStoppedAndTheTransportIdle) {
    Load(1000, false);
    controller.RequestStop();
    ASSERT_TRUE(controller.BeginPlay());
    EXPECT_FALSE(controller.StopRequested()) << "a new play clears an old stop";
    EXPECT_TRUE(controls.playingShown);
    EXPECT_FALSE(controller.BeginPlay()) << "a second play while playing does nothing";
    EXPECT_EQ(output->starts, 1);
    controller.EndPlay();
    EXPECT_EQ(output->stops, 1);
    EXPECT_FALSE(controls.playingShown);
    EXPECT_FALSE(controller.Playing());

    controller.SetOutput(nullptr);
    EXPECT_FALSE(controller.BeginPlay()) << "no sound output: nothing starts";
    EXPECT_FALSE(controls.playingShown);
}

TEST_F(ControllerFixture, PlayLoopEndsOnStopOrAtEitherEnd) {
    Load(1000, false);
    doc.SelAnchor = 100;
    doc.SelEnd = 500;
    ASSERT_TRUE(controller.BeginPlay());
    EXPECT_TRUE(controller.PlayGoesOn());
    const struct {
        double position;
        int32_t frameCount;
        bool goesOn;
    } cases[] = {
        {499.9, 1000, true}, {500, 1000, false},  // the range end
        {300, 300, false},   {299, 300, true},    // a sound shortened meanwhile
        {0, 1000, true},                          // rewound before the range start
    };
    for (const auto& c : cases) {
        state().PlayPosition = c.position;
        state().FrameCount = c.frameCount;
        EXPECT_EQ(controller.PlayGoesOn(), c.goesOn) << c.position << " of " << c.frameCount;
    }
    state().PlayPosition = 200;
    state().FrameCount = 1000;
    controller.RequestStop();
    EXPECT_FALSE(controller.PlayGoesOn());
    controller.EndPlay();
}

TEST_F(ControllerFixture, EmptySoundPlaysAndEndsAtOnce) {
    ASSERT_TRUE(controller.BeginPlay());
    EXPECT_FALSE(controller.PlayGoesOn());
    controller.EndPlay();
    EXPECT_EQ(output->stops, 1);
}

TEST_F(ControllerFixture, StopNowStopsTheOutputBeforeTheBlockChanges) {
    controller.StopNow();  // nothing plays: nothing to stop
    EXPECT_EQ(output->stops, 0);
    Load(1000, false);
    ASSERT_TRUE(controller.BeginPlay());
    controller.StopNow();
    EXPECT_EQ(output->stops, 1) << "stopped at once, inside the play loop";
    EXPECT_FALSE(controller.PlayGoesOn());
    controller.EndPlay();
}

TEST_F(ControllerFixture, ResumeRewindsBySecondsOfTheSoundsOwnTime) {
    const struct {
        int32_t rate;
        double rewind, position, resumedAt;
    } cases[] = {
        {44100, 2, 44100, 0},             // one second in: back to the start, not -1 s
        {44100, 2, 5 * 44100, 3 * 44100},
        {22050, 1, 30000, 30000 - 22050},  // the sound's rate, whatever the output's
        {44100, 0, 1234.5, 1234.5},
    };
    for (const auto& c : cases) {
        Load(10 * c.rate, false, c.rate);
        controls.rewindSeconds = c.rewind;
        ASSERT_TRUE(controller.BeginPlay());
        state().PlayPosition = c.position;
        controller.PauseOrResume();
        EXPECT_TRUE(state().Paused);
        EXPECT_EQ(state().PlayPosition, c.position) << "pausing does not rewind";
        controller.PauseOrResume();
        EXPECT_FALSE(state().Paused);
        EXPECT_EQ(state().PlayPosition, c.resumedAt) << c.rate << " Hz, " << c.rewind << " s";
        controller.EndPlay();
    }
}

TEST_F(ControllerFixture, RewindMayGoBeforeTheSelection) {
    Load(10 * 44100, false);
    doc.SelAnchor = 3 * 44100;
    doc.SelEnd = 6 * 44100;
    ASSERT_TRUE(controller.BeginPlay());
    state().PlayPosition = 4 * 44100;
    controller.PauseOrResume();
    controller.PauseOrResume();
    EXPECT_EQ(state().PlayPosition, 2 * 44100);
    EXPECT_TRUE(controller.PlayGoesOn());
    controller.EndPlay();
}

TEST_F(ControllerFixture, HotKeys) {
    Load(1000, false);
    EXPECT_TRUE(controller.HotKey(0)) << "idle: F11 asks for the play command";
    ASSERT_TRUE(controller.BeginPlay());
    EXPECT_FALSE(controller.HotKey(0));
    EXPECT_TRUE(state().Paused) << "playing: F11 pauses";
    EXPECT_FALSE(controller.HotKey(0));
    EXPECT_FALSE(state().Paused) << "and resumes";
    controller.EndPlay();

    const struct {
        double speed;
        int id;
        double expected;
    } steps[] = {{1.0, 1, 0.9}, {1.0, 2, 1.1}, {0.1, 1, 0.1}, {10, 2, 10}, {5, 7, 5}, {5, -1, 5}};
    for (const auto& c : steps) {
        controls.speed.Set(c.speed);
        EXPECT_FALSE(controller.HotKey(c.id));
        EXPECT_NEAR(state().SpeedFactor, c.expected, 1e-9) << c.speed << " id " << c.id;
        EXPECT_NEAR(state().PitchFactor, c.expected, 1e-9) << "coupled";
    }
}

TEST_F(ControllerFixture, CoupledFieldsFollowEachOtherWithoutEchoing) {
    int speedRuns = 0;
    controls.speed.changed = [&] {
        ++speedRuns;
        controller.SpeedFieldChanged();
    };
    controls.speed.Set(1.5);
    EXPECT_EQ(controls.pitch.value(), 1.5);
    EXPECT_EQ(state().PitchFactor, 1.5);
    EXPECT_EQ(speedRuns, 1) << "the pitch field does not write back";

    controls.pitch.Set(20);  // the speed field keeps its bound; the pitch stays
    EXPECT_EQ(state().SpeedFactor, 10);
    EXPECT_EQ(state().PitchFactor, 20);

    controls.coupled = false;
    controls.speed.Set(2);
    controls.pitch.Set(1);
    EXPECT_EQ(state().SpeedFactor, 2);
    EXPECT_EQ(state().PitchFactor, 1);

    controls.coupled = true;  // nothing happens until a field changes
    EXPECT_EQ(state().SpeedFactor, 2);
    controller.PitchFieldChanged();  // as the rewind field's change does
    EXPECT_EQ(state().SpeedFactor, 1);
}

}  // namespace
}  // namespace sonvira
