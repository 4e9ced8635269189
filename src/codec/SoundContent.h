#pragma once
// What a sound file holds, judged from its first bytes: the Open command chooses its
// reading path by this, never by the file's name alone.

#include <cstddef>
#include <cstdint>
#include <string>

namespace sonvira {

enum class SoundContent {
    RiffWave,        // "RIFF" … "WAVE"
    Mp3,             // an ID3v2 tag or a valid MPEG audio frame header at the start
    OtherContainer,  // plainly another container or stream (see SniffSoundContent)
    Unknown,         // anything else, also too few bytes to tell
};

// How many leading bytes SniffSoundContent looks at.
inline constexpr size_t kSniffBytes = 12;

// Classifies `size` bytes from the start of a file (fewer than kSniffBytes is fine).
// OtherContainer: FLAC, Ogg, MP4 ("ftyp" at 4), AIFF/AIFC, Sun audio, WavPack, Monkey's
// Audio, TTA, AMR, ASF, Matroska/WebM, AVI, FLV, and the sync words of AC-3/E-AC-3 and
// DTS. Pure function, any thread.
SoundContent SniffSoundContent(const uint8_t* head, size_t size);

// Bytes of the ID3v2 tag (header, body, footer) that `head` begins with; 0 when none.
int64_t Id3v2TagSize(const uint8_t* head, size_t size);

// The same for the file at `path`, looking past a leading ID3v2 tag for a container that
// follows it (FLAC files may carry one); Unknown when the file cannot be read.
SoundContent SniffSoundFile(const std::string& path);

}  // namespace sonvira
