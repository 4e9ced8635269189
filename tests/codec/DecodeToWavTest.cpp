// Writing a decoder's blocks into the temporary WAV: the size limit for sounds of unknown
// length, the stop request of a closing window, progress, and a target that cannot be made.
// A scripted decoder stands in for FFmpeg, so a sound of unknown length can pass a limit.

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <thread>
#include <vector>

#include "DecodeToWav.h"
#include "OpenDecodedFile.h"
#include "TempDir.h"
#include "WavFile.h"

namespace sonvira {
namespace {

// Delivers `blocks` blocks of 1000 stereo frames (then End), or endless ones with
// blocks < 0, each after `pause`. Each block's samples count up, so the written file
// shows the order.
class ScriptedDecoder final : public SoundDecoder {
public:
    ScriptedDecoder(int blocks, int64_t announced, std::chrono::milliseconds pause = {})
        : blocks_(blocks), pause_(pause) {
        info_ = {8000, 2, announced};
    }
    bool Open(const std::string&) override { return true; }
    const DecodedStreamInfo& Info() const override { return info_; }
    DecodeStep Next(std::vector<int16_t>& samples) override {
        if (blocks_ >= 0 && given_ == blocks_) return DecodeStep::End;
        std::this_thread::sleep_for(pause_);
        samples.assign(2000, static_cast<int16_t>(given_++));
        return DecodeStep::Block;
    }
    int PercentDone() const override { return blocks_ > 0 ? given_ * 100 / blocks_ : 0; }

private:
    DecodedStreamInfo info_;
    int blocks_;
    std::chrono::milliseconds pause_;
    int given_ = 0;
};

TEST(DecodeToWav, RefusesSoundsBeyondTheLimitStatedOrFound) {
    test::TempDir dir;
    std::atomic<bool> stop{false};
    ScriptedDecoder endless(-1, -1);
    EXPECT_EQ(DecodeToWav(endless, "", dir.file("a.wav"), stop, {}, 100000), DecodeResult::TooLarge);
    ScriptedDecoder stated(1, 25001);  // 25001 frames × 4 bytes > 100000
    EXPECT_EQ(DecodeToWav(stated, "", dir.file("b.wav"), stop, {}, 100000), DecodeResult::TooLarge);
    ScriptedDecoder fits(25, 25000);  // exactly the limit
    ASSERT_EQ(DecodeToWav(fits, "", dir.file("c.wav"), stop, {}, 100000), DecodeResult::Written);
    WavSound sound;
    ASSERT_TRUE(ReadWav(dir.file("c.wav"), sound));
    EXPECT_EQ(sound.size, 100000);
    EXPECT_EQ(sound.rate, 8000);
    EXPECT_TRUE(sound.stereo);
}

TEST(DecodeToWav, AStopRequestKeepsWhatWasDecodedWithACorrectHeader) {
    test::TempDir dir;
    std::atomic<bool> stop{true};  // left over from an earlier command: cleared first
    ScriptedDecoder endless(-1, -1, std::chrono::milliseconds(1));
    int events = 0;
    const Mp3ImportHooks hooks{{}, [&] { if (++events == 3) stop = true; }};
    ASSERT_EQ(DecodeToWav(endless, "", dir.file("s.wav"), stop, hooks), DecodeResult::Written);
    EXPECT_EQ(events, 3);
    WavSound sound;
    ASSERT_TRUE(ReadWav(dir.file("s.wav"), sound));
    const auto* samples = reinterpret_cast<const int16_t*>(sound.block.get());
    const size_t count = static_cast<size_t>(sound.size) / 2;
    ASSERT_GT(count, 0u);
    EXPECT_EQ(count % 2000, 0u) << "whole blocks only";
    for (size_t i = 0; i < count; ++i) ASSERT_EQ(samples[i], static_cast<int16_t>(i / 2000)) << i;
}

TEST(DecodeToWav, ProgressRisesToTheEnd) {
    test::TempDir dir;
    std::atomic<bool> stop{false};
    ScriptedDecoder decoder(100, 100000, std::chrono::milliseconds(1));  // outlasts the event interval
    std::vector<int> percents;
    ASSERT_EQ(DecodeToWav(decoder, "", dir.file("p.wav"), stop, {[&](int p) { percents.push_back(p); }, {}}),
              DecodeResult::Written);
    ASSERT_FALSE(percents.empty());
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_GT(percents[i], percents[i - 1]);
    EXPECT_EQ(percents.back(), 100) << "a finished import ends at 100";
}

TEST(DecodeToWav, ATargetThatCannotBeCreatedIsReported) {
    test::TempDir dir;
    std::atomic<bool> stop{false};
    ScriptedDecoder decoder(2, 2000);
    EXPECT_EQ(DecodeToWav(decoder, "", dir.file("no/such/folder.wav"), stop, {}), DecodeResult::CannotCreate);
}

// A sound of one constant sample value; Open waits until every copy has reached it, so the
// copies choose their temporary files at the same moment.
class ConstantDecoder final : public SoundDecoder {
public:
    ConstantDecoder(int16_t value, std::barrier<>& start) : value_(value), start_(start) {}
    bool Open(const std::string&) override {
        start_.arrive_and_wait();
        return true;
    }
    const DecodedStreamInfo& Info() const override { return info_; }
    DecodeStep Next(std::vector<int16_t>& samples) override {
        if (given_++ == 20) return DecodeStep::End;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        samples.assign(2000, value_);
        return DecodeStep::Block;
    }
    int PercentDone() const override { return given_ * 5; }

private:
    DecodedStreamInfo info_{8000, 2, 20000};
    int16_t value_;
    std::barrier<>& start_;
    int given_ = 0;
};

TEST(OpenDecodedFile, TwoCopiesDecodingAtOnceEachReadTheirOwnSound) {
    test::TempDir dir;  // one folder for both: even there the names never collide
    std::barrier<> start(2);
    WavSound sounds[2];
    DecodedOpenResult results[2];
    std::vector<std::thread> copies;
    for (int i = 0; i < 2; ++i)
        copies.emplace_back([&, i] {
            ConstantDecoder decoder(static_cast<int16_t>(1000 * (i + 1)), start);
            std::atomic<bool> stop{false};
            results[i] = OpenDecodedFile("", dir.path().string(), decoder, stop, {}, sounds[i]);
        });
    for (auto& copy : copies) copy.join();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(results[i].read) << i;
        ASSERT_EQ(sounds[i].size, 80000) << i;
        const auto* samples = reinterpret_cast<const int16_t*>(sounds[i].block.get());
        for (int k = 0; k < 40000; ++k) ASSERT_EQ(samples[k], 1000 * (i + 1)) << i << " at " << k;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "the temporary files are deleted";
}

}  // namespace
}  // namespace sonvira
