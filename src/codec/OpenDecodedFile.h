#pragma once
// The Open command's path for the formats FFmpeg decodes (FLAC, Ogg, Opus, M4A/AAC, AIFF,
// WAV files of 24/32 bits, float or extensible, Sun audio, WavPack, Monkey's Audio, WMA,
// AC-3, DTS, TTA, AMR, and the sound of MP4, Matroska/WebM, AVI and FLV films): decode into
// a temporary WAV file, read it, delete it.

#include <atomic>
#include <string>

#include "DecodeToWav.h"
#include "WavFile.h"

namespace sonvira {

struct DecodedOpenResult {
    DecodeResult decode = DecodeResult::Undecodable;
    bool read = false;  // false: the document stays as it was
};

// Decodes `path` with `decoder` into `CreateTempWav(tempDir, "tempwav", ".wav")`, reads that
// file into `out` and deletes it again in every case (also when an exception passes out).
// Window thread; `stopRequested` and `hooks` as for DecodeToWav.
DecodedOpenResult OpenDecodedFile(const std::string& path, const std::string& tempDir,
                                  SoundDecoder& decoder, std::atomic<bool>& stopRequested,
                                  const Mp3ImportHooks& hooks, WavSound& out);

}  // namespace sonvira
