#pragma once
// The Open command's reading step without a window: a file whose name ends in ".mp3"
// (any case) goes through the MP3 import, anything else is read as a WAV file. The
// caller stops playback and installs the sound only when it was read, and shows the
// messages in the order given.

#include <atomic>
#include <string>
#include <vector>

#include "ConvertMP3WAV.h"
#include "MessageCatalogue.h"
#include "WavFile.h"

namespace sonvira {

struct OpenOutcome {
    // Catalogue messages to show, each in an error box: the MP3 import's own failure
    // first, then "Konnte Datei nicht öffnen!" when nothing was read.
    std::vector<Msg> messages;
    bool read = false;  // true: `out` holds the sound; false: the document stays as it was
};

// Whether the Open command takes `path` for an MP3 file: its name's last extension is
// "mp3" in any case.
bool NamesMp3File(const std::string& path);

// Reads `path` into `out`. MP3 files are decoded into a temporary WAV file in `tempDir`
// that is deleted again (see OpenMp3File); an EACMConvertor from the codec passes out.
// Window thread; `stopRequested` and `hooks` as for ConvertMP3WAV.
OpenOutcome OpenSoundFile(const std::string& path, const std::string& tempDir,
                          TACMConvertor& mp3wav, const Mp3FormatList& formats,
                          std::atomic<bool>& stopRequested, const Mp3ImportHooks& hooks,
                          WavSound& out);

}  // namespace sonvira
