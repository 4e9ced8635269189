#pragma once
// The Open command's MP3 branch: decode into a temporary WAV file, read it, delete it.

#include <atomic>
#include <string>

#include "ConvertMP3WAV.h"
#include "WavFile.h"

namespace sonvira {

struct Mp3OpenResult {
    int importMessage = 0;  // 0, or the message ConvertMP3WAV reports (9, 10); show it first
    bool read = false;      // false: show message 10; the document stays as it was
};

// Decodes `mp3Path` into `CreateTempWav(tempDir, "tempwav", ".wav")`, reads that file into
// `out` and deletes it again, also when the read fails or an exception (EACMConvertor)
// passes out. Window thread; arguments as for ConvertMP3WAV.
Mp3OpenResult OpenMp3File(const std::string& mp3Path, const std::string& tempDir,
                          TACMConvertor& mp3wav, const Mp3FormatList& formats,
                          std::atomic<bool>& stopRequested, const Mp3ImportHooks& hooks,
                          WavSound& out);

}  // namespace sonvira
