#include "MessageCatalogue.h"

#include "TranslationContext.h"


namespace sonvira {
namespace {

// Equal texts under different numbers are separate entries on purpose: each caller keeps
// its own number.
constexpr CatalogueEntry kCatalogue[] = {
    {1, "Bitte schließen Sie das Programm und starten Sie es erneut!"},
    {3, "Fehler"},
    {4, " beim Ausführen des SCSI Kommandos..."},  // appended to another text: keeps its blank
    {5, "Fehler beim Ausführen des SCSI Kommandos..."},
    {6, "Konnte ASPI Layer nicht initialisieren..."},
    {7, "Konnte ASPI Layer nicht laden..."},
    {8, "Es ist kein Codec installiert, der eine MP3-Decodierung ermöglicht!"},
    {9, "Konnte Ausgabedatei nicht erstellen!"},
    {10, "Konnte Datei nicht öffnen!"},
    {11, "KBytes"},
    {12, "Fehler beim MP3 Codieren"},
    {13, "Konnte LAME Encoder nicht initialisieren..."},
    {14, "Konnte Datei nicht erstellen..."},
    {16, "Konnte DirectSound (DirectX) nicht initialisieren..."},
    {17, "Hiermit beenden Sie das Programm! Alle nicht gespeicherten Daten gehen verloren!"},
    {18, "Programm beenden"},
    {19, "Konnte die MIDI Datei nicht erstellen!"},
    {21, "Wenn Sie die letzte Aufnahme noch nicht gespeichert haben, geht diese nun verloren!"},
    {22, "Neue Aufnahme"},
    {23, "https://www.orlanda.de/sonvira"},  // the maker's web address, opened by the about box
    {24, "TOC eingelesen..."},
    {25, "Ungültige Track-Nummer..."},
    {26, "Tracks gefunden..."},
    {27, "Konnte TOC nicht lesen..."},
    {28, "Starte Ripping..."},
    {29, "Fehler: SCSI Status"},
    {30, "Kein Laufwerkszugriff über SPTI möglich..."},
    {31, "Tracks gefunden"},
    {32, "Fehler"},
    {33, "Fehler beim Ausführen des SCSI Kommandos..."},
    {34, "Starte Ripping..."},
    {35, "Konnte ASPI Layer nicht initialisieren..."},
    {36, "Konnte ASPI Layer nicht laden. Downloaden Sie den ASPI-Treiber von http://www.adaptec.com!"},
    {37, "Ripping beendet..."},
    {39, "Stunden"},
    {40, "Minuten"},
    {41, "Sekunden"},
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

void RegisterMessages(TranslationContext& translation) {
    for (const CatalogueEntry& entry : MessageCatalogue()) translation.Translate(entry.German);
}

}  // namespace sonvira
