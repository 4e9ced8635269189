#pragma once
// MP3 export: encodes the whole document, exactly as stored (its own samples at its own
// rate; the playback factors play no part), as a constant-bit-rate MP3 file.

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>

#include "AudioDocument.h"
#include "MessageCatalogue.h"
#include "Mp3Encoder.h"

namespace sonvira {

// Messages of MP3 export (catalogue numbers).
inline constexpr int kMsgMp3EncodeFailed = static_cast<int>(Msg::Mp3EncodingFailed);
inline constexpr int kMsgLameInitFailed = static_cast<int>(Msg::LameInitFailed);
inline constexpr int kMsgCannotCreateFile = static_cast<int>(Msg::CannotCreateFile);
// Not a message: the user cancelled the export.
inline constexpr int kMp3SaveCancelled = -1;

// The two choices of the MP3 settings dialog.
struct Mp3Settings {
    int sampleRate = 44100;  // Hz of the MP3
    int bitRate = 128;       // kbit/s
};

// An encoding step failed after the encoder was set up. `message` is the catalogue number
// to show (12), or 0 for the flush failure whose text "Echec à la sortie" is shown as is;
// what() holds the German text.
class EMp3Encode : public std::runtime_error {
public:
    EMp3Encode(int messageNumber, const std::string& text)
        : std::runtime_error(text), message(messageNumber) {}
    int message;
};

// Encodes `doc` into `path` with `encoder` (MakeLameEncoder() for the real one), in chunks
// of at most 5000 bytes of 16-bit samples; an 8-bit document is widened ((v − 128) × 256)
// chunk by chunk. Calls `progress` (may be empty) with c × 100 div T before every chunk and
// 0 after the last. The file is written under a temporary name in the same folder and
// renamed over `path` only when complete: any failure leaves an existing file untouched.
// Returns 0, 14 (file cannot be created or written) or 13 (encoder refused the settings),
// or kMp3SaveCancelled when `cancel` (may be null) was set before a chunk: the file is then
// not written and an existing one stays. Throws EMp3Encode when a chunk or the flush fails.
// Any one thread; `doc` must not change meanwhile. Memory: fixed buffers.
int SaveAsMP3File(const std::string& path, const AudioDocument& doc, const Mp3Settings& settings,
                  const std::function<void(int)>& progress, Mp3Encoder& encoder,
                  const std::atomic<bool>* cancel = nullptr);

// The encoder configuration for a document and the dialog's settings.
BeConfig MakeBeConfig(const AudioDocument& doc, const Mp3Settings& settings);

}  // namespace sonvira
