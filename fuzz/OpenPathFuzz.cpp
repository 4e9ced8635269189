// The Open command's choice of reading path on arbitrary file bytes: the content sniffing
// (ID3v2 tag skipping included) and the WAV structure check, under a WAV and an MP3 name.
// A file our WAV reader takes must be chosen for it whatever its name.

#include <cstddef>
#include <cstdint>

#include "OpenSoundFile.h"
#include "ScratchDir.h"
#include "SoundContent.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sonvira;
    static const fuzz::ScratchDir scratch;
    if (Id3v2TagSize(data, size) < 0) __builtin_trap();
    const std::string wav = scratch.Write("input.wav", data, size);
    const std::string mp3 = scratch.Write("input.mp3", data, size);
    const OpenPath asWav = ChooseOpenPath(wav);
    const OpenPath asMp3 = ChooseOpenPath(mp3);
    const bool readable = InspectWav(wav) == WavLayout::Readable;
    if (readable != (asWav == OpenPath::WavReader) || readable != (asMp3 == OpenPath::WavReader))
        __builtin_trap();
    // Only a ".mp3" name may turn a file that is no WAV towards the MP3 import.
    if (asWav == OpenPath::Mp3Import && asMp3 != OpenPath::Mp3Import) __builtin_trap();
    return 0;
}
