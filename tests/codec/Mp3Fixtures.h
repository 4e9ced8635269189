#pragma once
// MP3 test sounds: sine tones written as WAV and encoded by the `lame` command, plus
// the measurements the tests compare against (frequency by zero crossings).

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "TempDir.h"
#include "WavFile.h"

namespace sonvira::test {

// 16-bit PCM of a sine of `freq` Hz at amplitude 0.5, the same on every channel.
inline std::vector<int16_t> Sine(int rate, int channels, double seconds, double freq) {
    const auto frames = static_cast<size_t>(rate * seconds);
    std::vector<int16_t> pcm(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const double v = 16384.0 * std::sin(2.0 * M_PI * freq * static_cast<double>(i) / rate);
        for (int c = 0; c < channels; ++c) pcm[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = static_cast<int16_t>(v);
    }
    return pcm;
}

inline void WriteSineWav(const std::string& path, int rate, int channels, double seconds, double freq) {
    const auto pcm = Sine(rate, channels, seconds, freq);
    WriteWav(path, reinterpret_cast<const uint8_t*>(pcm.data()), channels == 2, true, rate,
             static_cast<int32_t>(pcm.size() * 2));
}

inline bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

// Encodes a sine WAV with the `lame` command and returns the MP3's bytes.
inline std::vector<uint8_t> LameSine(const TempDir& dir, int rate, int channels, double seconds,
                                     double freq, const std::string& lameArgs) {
    const std::string wav = dir.file("lame-in.wav");
    const std::string mp3 = dir.file("lame-out.mp3");
    WriteSineWav(wav, rate, channels, seconds, freq);
    if (!RunCommand("lame --quiet " + lameArgs + " '" + wav + "' '" + mp3 + "'")) return {};
    return ReadBytes(mp3);
}

// Frequency of channel `channel` of interleaved 16-bit PCM, from its rising crossings
// (with a dead band, so the near-silence of the codec's delay does not count).
inline double ZeroCrossingFrequency(const int16_t* pcm, size_t frames, int channels, int rate,
                                    int channel = 0) {
    size_t crossings = 0;
    size_t first = 0, last = 0;
    bool low = false;
    for (size_t i = 0; i < frames; ++i) {
        const int v = pcm[i * static_cast<size_t>(channels) + static_cast<size_t>(channel)];
        if (v < -2000) low = true;
        if (low && v > 2000) {
            low = false;
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return static_cast<double>(crossings - 1) * rate / static_cast<double>(last - first);
}

}  // namespace sonvira::test
