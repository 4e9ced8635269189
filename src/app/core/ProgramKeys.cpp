#include "ProgramKeys.h"

namespace sonvira {

const std::vector<ProgramKey>& ProgramKeys() {
    static const std::vector<ProgramKey> keys = {
        {"F11", "Abspielen, Pause und Weiter, auch wenn ein anderes Programm den Fokus hat"},
        {"Ctrl+Shift+F11, Ctrl+Alt+F11", "Langsamer um 0,1, auch wenn ein anderes Programm den Fokus hat"},
        {"Ctrl+Shift+F12, Ctrl+Alt+F12", "Schneller um 0,1, auch wenn ein anderes Programm den Fokus hat"},
        {"Space", "Abspielen, Pause und Weiter (nicht beim Schreiben in einem Feld)"},
        {"Esc", "Das laufende Öffnen oder Speichern als MP3 abbrechen, wie STOP"},
        {"Ctrl+O", "Öffnen..."},
        {"Ctrl+S", "Speichern als WAV/MP3..."},
        {"Ctrl+Q", "Beenden"},
        {"Alt", "Mit dem unterstrichenen Buchstaben: ein Menü öffnen"},
    };
    return keys;
}

}  // namespace sonvira
