#pragma once
// The Open command's reading step without a window. The file's content chooses the path:
// 8/16-bit PCM WAV files are read by our WAV reader, MP3 files go through the MP3 import,
// and the other sound formats through FFmpeg (see OpenDecodedFile). The caller stops
// playback and installs the sound only when it was read, and shows the messages in the
// order given.

#include <atomic>
#include <string>
#include <vector>

#include "ConvertMP3WAV.h"
#include "MessageCatalogue.h"
#include "WavFile.h"

namespace sonvira {

struct OpenOutcome {
    // Catalogue messages to show, each in an error box: the import's own failure first,
    // then "Konnte Datei nicht öffnen!" when nothing was read.
    std::vector<Msg> messages;
    // The sound would be larger than the document can hold; the window says so in its own
    // words (no catalogue message comes with it).
    bool tooLarge = false;
    bool read = false;  // true: `out` holds the sound; false: the document stays as it was
};

// Whether the file's name says MP3: its name's last extension is "mp3" in any case.
bool NamesMp3File(const std::string& path);

enum class OpenPath {
    WavReader,  // an 8/16-bit PCM WAV file our reader takes
    Mp3Import,  // MP3 content, or a ".mp3" name on content that is no other container
    Decoder,    // any other content, and well-formed WAV files of other sample formats
    Refused,    // a RIFF WAVE file with a structural fault: message 10, never FFmpeg
};

// Chooses the path for the file at `path` from its first bytes and, for RIFF files, its
// chunk structure; the name's extension counts only for MP3 and never against the content.
// A missing file gives Decoder (which then fails). Reads the file; any thread.
OpenPath ChooseOpenPath(const std::string& path);

// Reads `path` into `out`. MP3 files and the formats FFmpeg decodes are decoded into a
// temporary WAV file in `tempDir` that is deleted again; an EACMConvertor from the MP3
// codec passes out. Window thread; `stopRequested` and `hooks` as for ConvertMP3WAV.
OpenOutcome OpenSoundFile(const std::string& path, const std::string& tempDir,
                          TACMConvertor& mp3wav, const Mp3FormatList& formats,
                          std::atomic<bool>& stopRequested, const Mp3ImportHooks& hooks,
                          WavSound& out);

}  // namespace sonvira
