// Peak memory of opening a ten-minute 128 kbit/s stereo MP3, as a multiple of the decoded
// size: the high-water mark of resident memory during the open minus what the process
// held before it.

#include <cstdio>
#include <fstream>
#include <string>

#include "BenchSound.h"
#include "MakeMp3Decoder.h"
#include "OpenMp3File.h"

namespace {

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:").
long StatusKb(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
    return -1;
}

}  // namespace

int main() {
    using namespace sonvira;
    const std::string dir = bench::BenchFolder();  // made before measuring; its buffers are freed
    {
        std::ofstream("/proc/self/clear_refs") << "5";  // reset the high-water mark
    }
    const long before = StatusKb("VmRSS:");
    Mp3FormatList formats;
    EnumerateMp3CodecFormats(formats);
    TACMConvertor conv = MakeMp3Decoder();
    std::atomic<bool> stop{false};
    WavSound sound;
    if (!OpenMp3File(dir + "/sound.mp3", dir, conv, formats, stop, {}, sound).read) return 1;
    const auto peak = static_cast<double>(StatusKb("VmHWM:"));
    const auto start = static_cast<double>(before);
    const double decodedKb = sound.size / 1024.0;
    std::printf("decoded %.1f MB, resident before %.1f MB, peak %.1f MB: open used %.3f x decoded size\n",
                decodedKb / 1024, start / 1024, peak / 1024, (peak - start) / decodedKb);
    return 0;
}
