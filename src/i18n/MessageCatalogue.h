#pragma once
// The numbered German messages that the program builds at run time. Code never shows one
// directly: it asks CatalogueText for message N and gets it in the current language.
// User-interface thread (through the translation context).

#include <cstdint>
#include <span>
#include <string>

namespace sonvira {

class TranslationContext;

// The catalogue's messages by what they are about; the value is the message's number.
// Equal texts under different numbers belong to different callers and keep their own name.
enum class Msg : int32_t {
    RestartProgram = 1,           // after a language change or the translation editor
    DiscoveryErrorWord = 3,       // "Fehler", before an adapter status (drive discovery)
    ScsiCommandFailedSuffix = 4,  // appended to message 3 and the status: keeps its blank
    DiscoveryScsiCommandFailed = 5,
    DiscoveryAspiInitFailed = 6,
    DiscoveryAspiNotLoaded = 7,
    NoMp3Codec = 8,
    CannotCreateOutputFile = 9,  // the MP3 import's temporary WAV file
    CannotOpenFile = 10,
    KBytes = 11,
    Mp3EncodingFailed = 12,
    LameInitFailed = 13,
    CannotCreateFile = 14,
    NoSoundOutput = 16,
    QuitLosesUnsavedData = 17,
    QuitProgram = 18,
    CannotCreateMidiFile = 19,
    NewRecordingLosesTheLast = 21,
    NewRecording = 22,
    MakersWebAddress = 23,
    TocRead = 24,
    InvalidTrackNumber = 25,
    SptiTracksFound = 26,
    CannotReadToc = 27,
    SptiRippingStarts = 28,
    ScsiStatusError = 29,
    NoSptiDriveAccess = 30,
    AspiTracksFound = 31,
    RipErrorWord = 32,  // "Fehler", before an adapter status (ripping)
    RipScsiCommandFailed = 33,
    AspiRippingStarts = 34,
    RipAspiInitFailed = 35,
    AspiDriverMissing = 36,  // names where the driver can be downloaded
    RippingFinished = 37,
    Hours = 39,
    Minutes = 40,
    Seconds = 41,
};

struct CatalogueEntry {
    int32_t Number;
    const char* German;  // UTF-8, outer blanks significant
};

// Every entry in ascending number order; numbers without an entry are missing.
std::span<const CatalogueEntry> MessageCatalogue();

// The German text of message `number`, or null when the catalogue has no such number.
const char* CatalogueGerman(int32_t number);

// Message `number` translated into `text`; for a number without an entry `text` is left
// as it was and false is returned.
bool CatalogueText(TranslationContext& translation, int32_t number, std::string& text);
// Same, for callers that only pass known numbers: empty for an unknown one.
std::string CatalogueText(TranslationContext& translation, int32_t number);

// Message `id` translated (every Msg has an entry).
std::string CatalogueText(TranslationContext& translation, Msg id);

// Passes every entry through Translate in number order, so that a fresh table lists all
// of them before any is shown (start-up, first showing of the main window).
void RegisterMessages(TranslationContext& translation);

}  // namespace sonvira
