#pragma once
// The Save command's core: the file name rule and the choice between WAV and MP3 by the
// file type chosen in the save dialog (not by the name's extension). The document is
// written as stored and is not changed.

#include <functional>
#include <optional>
#include <string>

#include "AudioDocument.h"
#include "MessageCatalogue.h"
#include "SaveAsMP3File.h"

namespace sonvira {

// File types of the save dialog's filter "MP3-Datei|*.MP3|WAV-Datei|*.WAV", counted from 1.
inline constexpr int kSaveTypeMp3 = 1;
inline constexpr int kSaveTypeWav = 2;

// `name` with ".mp3" (type 1) or ".wav" (type 2) appended when its last path component has
// no extension (no '.'); otherwise unchanged.
std::string SaveFileName(const std::string& name, int fileType);

// What the Save command has to tell the user: nothing when the file was written, else
// one box.
struct SaveOutcome {
    std::optional<Msg> message;  // a catalogue message, shown translated
    std::string text;            // shown as it stands when there is no catalogue message
    std::string why;             // German: why the file could not be written, where the file system shows it
    bool errorIcon = false;      // the box carries the error icon
    bool cancelled = false;      // the user stopped an MP3 export: nothing was written
    bool Saved() const { return !message && text.empty() && !cancelled; }
};

// Writes `doc` to `path`: type 1 through SaveAsMP3File with `encoder`, anything else as WAV.
// Failures: "Konnte Datei nicht erstellen..." (WAV: with an error icon; MP3: plain box), the
// encoder refusing the settings (plain box), an encoding step failing (error icon, the
// catalogue's message or the encoder's own text). "Konnte Datei nicht erstellen..." comes with
// the reason where the file system shows one. An existing file is replaced only by a
// complete new one, and not at all when this user may not write it. `cancel` (may be null)
// stops an MP3 export between chunks.
SaveOutcome SaveDocument(const std::string& path, int fileType, const AudioDocument& doc,
                         const Mp3Settings& settings, const std::function<void(int)>& progress,
                         Mp3Encoder& encoder, const std::atomic<bool>* cancel = nullptr);

}  // namespace sonvira
