// Opening a ten-minute FLAC and a ten-minute M4A (AAC 192 kbit/s) through the Open
// command's FFmpeg path (the steps of OpenDecodedFile), next to the `ffmpeg` command decoding the same file to WAV in the
// same run: the time of each (best of three) and their ratio, and the open's peak memory
// as a multiple of the decoded size (high-water mark of resident memory during the open
// minus what the process held before it).
//   codec_open_formats [folder]   (default: $TMPDIR/sonvira-formats-bench, made once)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSound.h"
#include "FfmpegDecoder.h"
#include "DecodeToWav.h"
#include "WavFile.h"

namespace {

using Clock = std::chrono::steady_clock;

long StatusKb(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
    return -1;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// The test sound as WAV, FLAC and M4A in `dir`.
void MakeFiles(const std::string& dir) {
    std::filesystem::create_directories(dir);
    const std::string wav = dir + "/sound.wav";
    if (!std::filesystem::exists(wav)) {
        const auto pcm = sonvira::bench::TestSound();
        sonvira::WriteWav(wav, reinterpret_cast<const uint8_t*>(pcm.data()), true, true,
                          sonvira::bench::kRate, static_cast<int32_t>(pcm.size() * 2));
    }
    for (const char* target : {"sound.flac", "sound.m4a"}) {
        const std::string out = dir + "/" + target;
        if (std::filesystem::exists(out)) continue;
        const std::string codec = std::string(target) == "sound.flac" ? "-c:a flac" : "-c:a aac -b:a 192k";
        if (!Run("ffmpeg -nostdin -v error -y -i '" + wav + "' " + codec + " '" + out + "'")) std::exit(1);
    }
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct OpenFigures {
    double seconds = 1e9;       // the whole open: decode to the temporary WAV, read it, delete it
    double readSeconds = 1e9;   // of which reading the temporary WAV back
    double peakPerDecoded = 0;
    double decodedMb = 0;
};

// The steps of OpenDecodedFile, timed apart.
OpenFigures MeasureOpen(const std::string& file, const std::string& dir) {
    OpenFigures f;
    const std::string temp = dir + "/open-temp.wav";
    for (int round = 0; round < 3; ++round) {
        std::ofstream("/proc/self/clear_refs") << "5";  // reset the high-water mark
        const long before = StatusKb("VmRSS:");
        std::atomic<bool> stop{false};
        sonvira::WavSound sound;
        const auto decoder = sonvira::MakeFfmpegDecoder();
        const auto start = Clock::now();
        if (sonvira::DecodeToWav(*decoder, file, temp, stop, {}) != sonvira::DecodeResult::Written)
            std::exit(2);
        const auto decoded = Clock::now();
        if (!sonvira::ReadWav(temp, sound)) std::exit(2);
        std::remove(temp.c_str());
        const auto end = Clock::now();
        f.seconds = std::min(f.seconds, Seconds(end - start));
        f.readSeconds = std::min(f.readSeconds, Seconds(end - decoded));
        const double decodedKb = sound.size / 1024.0;
        f.decodedMb = decodedKb / 1024;
        f.peakPerDecoded = std::max(f.peakPerDecoded, static_cast<double>(StatusKb("VmHWM:") - before) / decodedKb);
    }
    return f;
}

double MeasureFfmpeg(const std::string& file, const std::string& dir) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        if (!Run("ffmpeg -nostdin -v error -y -i '" + file + "' -f wav '" + dir + "/ffmpeg-out.wav'"))
            std::exit(3);
        best = std::min(best, Seconds(Clock::now() - start));
    }
    std::filesystem::remove(dir + "/ffmpeg-out.wav");
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir =
        argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "sonvira-formats-bench").string();
    MakeFiles(dir);
    std::printf("ten minutes of 44100 Hz stereo; best of 3 runs each\n");
    for (const char* name : {"sound.flac", "sound.m4a"}) {
        const std::string file = dir + "/" + name;
        const OpenFigures open = MeasureOpen(file, dir);
        const double ffmpeg = MeasureFfmpeg(file, dir);
        std::printf("%-10s open %.3f s (reading back %.3f s), ffmpeg -f wav %.3f s: %.2f x; "
                    "decoded %.1f MB, peak %.3f x decoded size\n",
                    name, open.seconds, open.readSeconds, ffmpeg, open.seconds / ffmpeg, open.decodedMb,
                    open.peakPerDecoded);
    }
    return 0;
}
