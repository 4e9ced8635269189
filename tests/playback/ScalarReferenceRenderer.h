#pragma once
// A scalar reference for the renderer and the pitch shifter, written for clarity, not
// speed: per-call scratch, FFT per channel, std::nearbyint for the read index, ordinary
// (non-atomic) fields. The engine's faster code must give bit for bit the same results.

#include "FFT.h"
#include "Factors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sonvira::reference {

inline void PitchShiftBlock(int16_t* block, int frames, double pitchFactor) {
    constexpr int n = 1024;
    const double r = 1.0 / ClampPitchFactor(pitchFactor);
    for (int c = 0; c < 2; ++c) {
        std::vector<double> re(n, 0.0), im(n, 0.0), reOut(n, 0.0), imOut(n, 0.0);
        for (int j = 0; j < frames; ++j) re[j] = block[2 * j + c];
        FFT(1, 10, re.data(), im.data());
        for (int j = 0; j < n / 2; ++j) {
            const int k = static_cast<int>(std::trunc(j * r));
            if (k > n / 2 || k < 0) continue;
            reOut[k] += re[j];
            imOut[k] += im[j];
            const int kk = n - 1 - k;
            reOut[kk] += re[n - 1 - j];
            imOut[kk] += im[n - 1 - j];
        }
        FFT(-1, 10, reOut.data(), imOut.data());
        for (int j = 0; j < frames; ++j) {
            const auto v = static_cast<int64_t>(std::trunc(reOut[j]));
            block[2 * j + c] = static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
        }
    }
}

struct Document {
    std::vector<uint8_t> data;
    int32_t rate = 44100;
    bool stereo = false;
    bool is16 = false;
};

struct State {
    double PlayPosition = 0;
    int32_t RangeStart = 0;
    int32_t RangeEnd = 0;
    int32_t FrameCount = 0;
    int32_t ReadIndex = 0;
    bool Paused = false;
    double SpeedFactor = 1;
    double PitchFactor = 1;
    bool Loop = true;
};

inline void FillBuffer(State& st, const Document& doc, int16_t* out, int bytes) {
    const double s = ClampSpeedFactor(st.SpeedFactor);
    int32_t size = static_cast<int32_t>(doc.data.size());
    if (doc.stereo) size /= 2;
    if (doc.is16) size /= 2;
    st.FrameCount = size;
    for (int i = 0; i < bytes / 4; ++i) {
        const double rounded = std::nearbyint(st.PlayPosition);
        st.ReadIndex = static_cast<int32_t>(rounded);
        int16_t left = 0;
        int16_t right = 0;
        const bool inside = st.ReadIndex >= 0 && st.ReadIndex < st.RangeEnd &&
                            st.ReadIndex < st.FrameCount;
        if (inside && doc.is16) {
            const int channels = doc.stereo ? 2 : 1;
            const uint8_t* p = doc.data.data() + 2 * channels * st.ReadIndex;
            std::memcpy(&left, p, 2);
            std::memcpy(&right, doc.stereo ? p + 2 : p, 2);
        } else if (inside) {
            const uint8_t* p = doc.data.data() + (doc.stereo ? 2 : 1) * st.ReadIndex;
            left = static_cast<int16_t>((p[0] - 128) * 256);
            right = static_cast<int16_t>(((doc.stereo ? p[1] : p[0]) - 128) * 256);
        }
        out[2 * i] = left;
        out[2 * i + 1] = right;
        if (!st.Paused) st.PlayPosition = st.PlayPosition + (doc.rate / 44100.0) * s;
    }
    if (doc.stereo) st.ReadIndex *= 2;
    if (st.Loop && (st.PlayPosition >= st.RangeEnd || st.PlayPosition >= st.FrameCount)) {
        st.PlayPosition = st.RangeStart;
        st.ReadIndex = st.RangeStart * (doc.stereo ? 2 : 1);
    }
    PitchShiftBlock(out, 1024, st.PitchFactor);
    PitchShiftBlock(out + bytes / 4, 1024, st.PitchFactor);
}

}  // namespace sonvira::reference
