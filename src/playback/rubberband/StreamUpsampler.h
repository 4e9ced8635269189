#pragma once
// Raises the sample rate of a stream of stereo float frames by any ratio (for instance a
// 22050 Hz sound to 44100 Hz), with a windowed-sinc filter whose images and aliases stay
// more than 80 dB down. The high-quality renderer feeds documents below 44100 Hz through
// it, so Rubber Band always works on 44100 Hz sound: its own resampler leaves a slowed
// tone of a low-rate sound far less clean than the same tone at 44100 Hz.
//
// Output frame n is the source stream read at position n × step (step = source frames per
// output frame, 0 < step ≤ 1); the frames before the stream's first one count as silence.
// Source frames are taken on demand from a pull function.
//
// Thread: one caller at a time. The filter and buffers are made once, when the object is
// made; Start and Produce allocate nothing, lock nothing and never wait.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sonvira {

class StreamUpsampler {
public:
    static constexpr int kHalfTaps = 32;  // source frames on either side of a position
    static constexpr int kPhases = 512;   // filter phases between two source frames
    static constexpr int kMaxPull = 1024; // source frames asked for at once

    StreamUpsampler();

    // Begins a new stream read `step` source frames per output frame (0 < step ≤ 1).
    void Start(double step);

    // Writes `frames` output frames to left[0 … frames) and right[0 … frames). Calls
    // pull(left, right, n) to get the next n (1 … kMaxPull) source frames when it needs them.
    template <class Pull>
    void Produce(float* left, float* right, int frames, Pull&& pull) {
        for (int i = 0; i < frames; ++i) {
            const double position = static_cast<double>(produced_++) * step_;
            const auto whole = static_cast<int64_t>(std::floor(position));
            while (first_ + filled_ <= whole + kHalfTaps) Refill(whole, pull);
            const float* taps = Coefficients(position - static_cast<double>(whole));
            const auto at = static_cast<size_t>(whole - kHalfTaps + 1 - first_);
            left[i] = Dot(taps, &history_[0][at]);
            right[i] = Dot(taps, &history_[1][at]);
        }
    }

private:
    static constexpr int kTaps = 2 * kHalfTaps;
    static constexpr size_t kCapacity = kTaps + kMaxPull;

    // Drops the frames no longer needed for positions from `whole` on and pulls more.
    template <class Pull>
    void Refill(int64_t whole, Pull& pull) {
        const int64_t keepFrom = whole - kHalfTaps + 1;
        if (keepFrom > first_) {
            const auto drop = static_cast<size_t>(std::min<int64_t>(keepFrom - first_, filled_));
            for (auto& channel : history_)
                std::memmove(channel.data(), channel.data() + drop, (static_cast<size_t>(filled_) - drop) * sizeof(float));
            first_ += static_cast<int64_t>(drop);
            filled_ -= static_cast<int64_t>(drop);
        }
        const int n = static_cast<int>(std::min<int64_t>(kMaxPull, static_cast<int64_t>(kCapacity) - filled_));
        pull(&history_[0][static_cast<size_t>(filled_)], &history_[1][static_cast<size_t>(filled_)], n);
        filled_ += n;
    }

    // The filter taps for a position `fraction` (0 ≤ fraction < 1) past a source frame,
    // interpolated between the two nearest phases.
    const float* Coefficients(double fraction);
    static float Dot(const float* taps, const float* frames) {
        float sum = 0.0f;
        for (int j = 0; j < kTaps; ++j) sum += taps[j] * frames[j];
        return sum;
    }

    std::vector<float> table_;       // (kPhases + 1) rows of kTaps taps
    std::vector<float> taps_;        // the interpolated taps of the current position
    std::vector<float> history_[2];  // source frames first_ … first_ + filled_
    int64_t first_ = 0;
    int64_t filled_ = 0;
    int64_t produced_ = 0;
    double step_ = 1.0;
};

}  // namespace sonvira
