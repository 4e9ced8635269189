#pragma once
// MP3 import: decodes an MP3 file (bare, behind an ID3v2 tag or junk, or RIFF-wrapped)
// into a 16-bit PCM WAV file at the MP3's own rate and channel count.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "MessageCatalogue.h"
#include "Mp3CodecFormats.h"
#include "TACMConvertor.h"

namespace sonvira {

using ProgressFn = std::function<void(int percent)>;  // 0 … 100, the window's SetProStatus

// Messages of the import and of the Open command around it (catalogue numbers).
inline constexpr int kMsgCannotCreateOutput = static_cast<int>(Msg::CannotCreateOutputFile);
inline constexpr int kMsgCannotOpenFile = static_cast<int>(Msg::CannotOpenFile);

struct Mp3ImportHooks {
    ProgressFn progress;                  // may be empty
    std::function<void()> processEvents;  // called after every pass; may be empty
};

// Decodes `source` into the WAV file `target` through `mp3wav`, choosing the source format
// from `formats` (the main window's `Mp3CodecFormats`). Clears `stopRequested` first and
// stops after the current block once it is set again (from processEvents, e.g. the window
// closing); the target then holds what was decoded, with a correct header. The target is
// written as OpenTempForWriting does (this user only, never through a link).
// Returns 0, or the message the window shows: 10 (source unreadable) or 9 (target cannot be
// created or written; a half-written target is deleted). A file without any valid frame
// header gives a target with an empty data chunk (the Open command's read then fails).
// Throws EACMConvertor when the stream cannot be opened ("acmStreamOpen:" …) or reset;
// the files are closed and `mp3wav` is inactive again in every case.
// Window thread. Memory: two fixed buffers, independent of the file's size.
int ConvertMP3WAV(const std::string& source, const std::string& target, TACMConvertor& mp3wav,
                  const Mp3FormatList& formats, std::atomic<bool>& stopRequested,
                  const Mp3ImportHooks& hooks = {});

// Where the MP3 data begins and what its first frame header says.
struct Mp3Start {
    bool found = false;   // false: no valid frame header (and no RIFF wrapper)
    int64_t offset = 0;   // S, first byte fed to the decoder
    bool riffWrapped = false;
    uint8_t header[4] = {};  // H, the first valid frame header (bare files)
    WaveFormatEx wrapperFormat;  // the "fmt " record of a RIFF-wrapped file
};
// The start search over a file's bytes (RIFF wrapper, zero bytes, ID3v2 tag, frame scan).
// Reads through `readAt(pos, buf, n)` → bytes read. Never reads outside the file.
Mp3Start FindMp3Start(const std::function<size_t(int64_t, uint8_t*, size_t)>& readAt);

}  // namespace sonvira
