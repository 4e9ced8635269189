#pragma once
// A ten-minute 44100 Hz 16-bit stereo test sound (a chord with a little noise, so the
// encoder has real work) and its 128 kbit/s MP3 made by the `lame` command.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "WavFile.h"

namespace sonvira::bench {

inline constexpr int kRate = 44100;
inline constexpr double kSeconds = 600.0;

inline std::vector<int16_t> TestSound() {
    const auto frames = static_cast<size_t>(kRate * kSeconds);
    std::vector<int16_t> pcm(frames * 2);
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> noise(-300, 300);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double v = 6000 * std::sin(2 * M_PI * 220 * t) + 4000 * std::sin(2 * M_PI * 277.2 * t) +
                         3000 * std::sin(2 * M_PI * 329.6 * t);
        pcm[2 * i] = static_cast<int16_t>(v + noise(rng));
        pcm[2 * i + 1] = static_cast<int16_t>(0.8 * v + noise(rng));
    }
    return pcm;
}

// Folder with "sound.wav" and "sound.mp3", made once per run.
inline std::string BenchFolder() {
    static const std::string folder = [] {
        const auto dir = std::filesystem::temp_directory_path() / "sonvira-codec-bench";
        std::filesystem::create_directories(dir);
        const std::string wav = (dir / "sound.wav").string();
        const std::string mp3 = (dir / "sound.mp3").string();
        const auto pcm = TestSound();
        WriteWav(wav, reinterpret_cast<const uint8_t*>(pcm.data()), true, true, kRate,
                 static_cast<int32_t>(pcm.size() * 2));
        const std::string cmd = "lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
        if (std::system(cmd.c_str()) != 0) std::abort();
        return dir.string();
    }();
    return folder;
}

}  // namespace sonvira::bench
