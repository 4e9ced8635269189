#pragma once
// An AMR-NB file of a 440 Hz tone, encoded by libopencore-amrnb loaded at run time:
// Debian's ffmpeg has no AMR encoder, but the library it decodes with also encodes.

#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "TempDir.h"

namespace sonvira::test {

// Writes `dir/name`: `seconds` of a 440 Hz tone at half of full scale, 8000 Hz mono, in
// the 12.2 kbit/s mode, as a "#!AMR" file. The path, or "" when the library is missing.
inline std::string AmrNbTone(const TempDir& dir, const std::string& name, double seconds) {
    void* library = dlopen("libopencore-amrnb.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return "";
    using Init = void* (*)(int dtx);
    using Encode = int (*)(void* state, int mode, const short* speech, unsigned char* out, int forceSpeech);
    using Exit = void (*)(void* state);
    const auto init = reinterpret_cast<Init>(dlsym(library, "Encoder_Interface_init"));
    const auto encode = reinterpret_cast<Encode>(dlsym(library, "Encoder_Interface_Encode"));
    const auto exit = reinterpret_cast<Exit>(dlsym(library, "Encoder_Interface_exit"));
    if (!init || !encode || !exit) {
        dlclose(library);
        return "";
    }
    constexpr int kMode122 = 7;  // MR122 in the library's enum Mode
    constexpr int kFrame = 160;  // 20 ms at 8000 Hz
    std::vector<uint8_t> file = {'#', '!', 'A', 'M', 'R', '\n'};
    void* state = init(0);
    short speech[kFrame];
    unsigned char packet[64];
    const auto frames = static_cast<int>(seconds * 8000 / kFrame);
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < kFrame; ++i)
            speech[i] = static_cast<short>(16384 * std::sin(2 * M_PI * 440 * (f * kFrame + i) / 8000.0));
        const int bytes = encode(state, kMode122, speech, packet, 0);
        if (bytes > 0) file.insert(file.end(), packet, packet + bytes);
    }
    exit(state);
    dlclose(library);
    WriteBytes(dir.file(name), file);
    return dir.file(name);
}

}  // namespace sonvira::test
