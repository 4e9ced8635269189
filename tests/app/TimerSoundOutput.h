#pragma once
// A sound output for window tests: no device, the blocks rendered on the window thread.

#include <QTimer>
#include <vector>

#include "FillBuffer.h"
#include "SoundOutput.h"

namespace sonvira::test {

// Stands in for the sound card: renders a block every few milliseconds on the window
// thread, as the stream thread would, so the play loop sees the position move.
class TimerSoundOutput : public SoundOutput {
public:
    int starts = 0, stops = 0;
    void Start(PlaybackState& state, const AudioDocument& doc) override {
        ++starts;
        timer_.callOnTimeout([&state, &doc, this] { FillBuffer(state, doc, block_.data(), 8192); });
        timer_.start(2);
    }
    void Stop() override {
        ++stops;
        timer_.stop();
        timer_.disconnect();
    }

private:
    QTimer timer_;
    std::vector<int16_t> block_ = std::vector<int16_t>(4096);
};

}  // namespace sonvira::test
