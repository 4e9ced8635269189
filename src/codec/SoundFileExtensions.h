#pragma once
// The file-name extensions of the sound files the Open command reads, for the open
// dialog's file-type filter. They only help the user find files: the content decides how
// a file is read (ChooseOpenPath). Upper case, without the dot. No Qt; any thread.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sonvira {

// Read by our own WAV reader and the MP3 import.
inline constexpr std::array<std::string_view, 2> kOwnSoundExtensions{"WAV", "MP3"};

// Read through FFmpeg: sound formats, then the video containers whose best audio stream
// is taken (Sun audio also goes by ".snd"; ".mka" is Matroska with sound only).
inline constexpr std::array<std::string_view, 29> kDecodedSoundExtensions{
    "FLAC", "OGG", "OGA", "OPUS", "M4A", "AAC", "AIF",  "AIFF", "AIFC", "CAF",
    "W64",  "AU",  "SND", "WV",   "APE", "WMA", "AC3",  "EAC3", "DTS",  "TTA",
    "AMR",  "MKA", "MP4", "M4V",  "MKV", "WEBM", "AVI", "FLV",  "3GP",
};

// Every extension the Open command reads: ours first, then FFmpeg's.
inline std::vector<std::string_view> AllSoundExtensions() {
    std::vector<std::string_view> all(kOwnSoundExtensions.begin(), kOwnSoundExtensions.end());
    all.insert(all.end(), kDecodedSoundExtensions.begin(), kDecodedSoundExtensions.end());
    return all;
}

// The patterns of a filter entry in the program's form: {"WAV", "MP3"} → "*.WAV;*.MP3".
inline std::string FilterPatterns(std::span<const std::string_view> extensions) {
    std::string patterns;
    for (const std::string_view extension : extensions) {
        if (!patterns.empty()) patterns += ';';
        patterns += "*.";
        patterns += extension;
    }
    return patterns;
}

}  // namespace sonvira
