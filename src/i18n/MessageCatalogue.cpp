#include "MessageCatalogue.h"

#include "TranslationContext.h"


namespace sonvira {
namespace {

constexpr int32_t N(Msg id) { return static_cast<int32_t>(id); }

// Equal texts under different numbers are separate entries on purpose: each caller keeps
// its own number.
constexpr CatalogueEntry kCatalogue[] = {
    {N(Msg::RestartProgram), "Bitte schließen Sie das Programm und starten Sie es erneut!"},
    {N(Msg::DiscoveryErrorWord), "Fehler"},
    {N(Msg::ScsiCommandFailedSuffix), " beim Ausführen des SCSI Kommandos..."},  // appended to another text: keeps its blank
    {N(Msg::DiscoveryScsiCommandFailed), "Fehler beim Ausführen des SCSI Kommandos..."},
    {N(Msg::DiscoveryAspiInitFailed), "Konnte ASPI Layer nicht initialisieren..."},
    {N(Msg::DiscoveryAspiNotLoaded), "Konnte ASPI Layer nicht laden..."},
    {N(Msg::NoMp3Codec), "Es ist kein Codec installiert, der eine MP3-Decodierung ermöglicht!"},
    {N(Msg::CannotCreateOutputFile), "Konnte Ausgabedatei nicht erstellen!"},
    {N(Msg::CannotOpenFile), "Konnte Datei nicht öffnen!"},
    {N(Msg::KBytes), "KBytes"},
    {N(Msg::Mp3EncodingFailed), "Fehler beim MP3 Codieren"},
    {N(Msg::LameInitFailed), "Konnte LAME Encoder nicht initialisieren..."},
    {N(Msg::CannotCreateFile), "Konnte Datei nicht erstellen..."},
    {N(Msg::NoSoundOutput), "Konnte DirectSound (DirectX) nicht initialisieren..."},
    {N(Msg::QuitLosesUnsavedData), "Hiermit beenden Sie das Programm! Alle nicht gespeicherten Daten gehen verloren!"},
    {N(Msg::QuitProgram), "Programm beenden"},
    {N(Msg::CannotCreateMidiFile), "Konnte die MIDI Datei nicht erstellen!"},
    {N(Msg::NewRecordingLosesTheLast), "Wenn Sie die letzte Aufnahme noch nicht gespeichert haben, geht diese nun verloren!"},
    {N(Msg::NewRecording), "Neue Aufnahme"},
    {N(Msg::MakersWebAddress), "https://www.orlanda.de/sonvira"},  // the maker's web address, opened by the about box
    {N(Msg::TocRead), "TOC eingelesen..."},
    {N(Msg::InvalidTrackNumber), "Ungültige Track-Nummer..."},
    {N(Msg::SptiTracksFound), "Tracks gefunden..."},
    {N(Msg::CannotReadToc), "Konnte TOC nicht lesen..."},
    {N(Msg::SptiRippingStarts), "Starte Ripping..."},
    {N(Msg::ScsiStatusError), "Fehler: SCSI Status"},
    {N(Msg::NoSptiDriveAccess), "Kein Laufwerkszugriff über SPTI möglich..."},
    {N(Msg::AspiTracksFound), "Tracks gefunden"},
    {N(Msg::RipErrorWord), "Fehler"},
    {N(Msg::RipScsiCommandFailed), "Fehler beim Ausführen des SCSI Kommandos..."},
    {N(Msg::AspiRippingStarts), "Starte Ripping..."},
    {N(Msg::RipAspiInitFailed), "Konnte ASPI Layer nicht initialisieren..."},
    {N(Msg::AspiDriverMissing), "Konnte ASPI Layer nicht laden. Downloaden Sie den ASPI-Treiber von http://www.adaptec.com!"},
    {N(Msg::RippingFinished), "Ripping beendet..."},
    {N(Msg::Hours), "Stunden"},
    {N(Msg::Minutes), "Minuten"},
    {N(Msg::Seconds), "Sekunden"},
};

}  // namespace

std::span<const CatalogueEntry> MessageCatalogue() { return kCatalogue; }

const char* CatalogueGerman(int32_t number) {
    for (const CatalogueEntry& entry : MessageCatalogue())
        if (entry.Number == number) return entry.German;
    return nullptr;
}

bool CatalogueText(TranslationContext& translation, int32_t number, std::string& text) {
    const char* german = CatalogueGerman(number);
    if (!german) return false;
    text = translation.Translate(german);
    return true;
}

std::string CatalogueText(TranslationContext& translation, int32_t number) {
    std::string text;
    CatalogueText(translation, number, text);
    return text;
}

std::string CatalogueText(TranslationContext& translation, Msg id) {
    return CatalogueText(translation, N(id));
}

void RegisterMessages(TranslationContext& translation) {
    for (const CatalogueEntry& entry : MessageCatalogue()) translation.Translate(entry.German);
}

}  // namespace sonvira
