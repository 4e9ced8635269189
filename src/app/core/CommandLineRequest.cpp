#include "CommandLineRequest.h"

namespace sonvira {

CommandLineRequest ReadCommandLineRequest(const std::vector<std::string>& arguments) {
    CommandLineRequest request = CommandLineRequest::Run;
    for (std::size_t i = 1; i < arguments.size() && arguments[i] != "--"; ++i) {
        if (arguments[i] == "-h" || arguments[i] == "--help") return CommandLineRequest::Help;
        if (arguments[i] == "--version") request = CommandLineRequest::Version;
    }
    return request;
}

std::optional<std::size_t> FileArgument(const std::vector<std::string>& arguments) {
    const std::size_t first = arguments.size() > 1 && arguments[1] == "--" ? 2 : 1;
    if (first >= arguments.size()) return std::nullopt;
    return first;
}

// German, as everything the program says until a user chooses another language.
std::string UsageText() {
    return "Aufruf: sonvira [DATEI]\n"
           "Zeigt die Klangdatei DATEI (WAV, MP3, FLAC, Ogg Vorbis, Opus, M4A/AAC, AIFF) und spielt\n"
           "eine Auswahl daraus langsamer oder schneller, auf Wunsch mit gleicher Tonh\xC3\xB6he.\n"
           "\n"
           "  -h, --help   diese Hilfe zeigen und beenden\n"
           "  --version    die Version zeigen und beenden\n"
           "\n"
           "Einstellungen und \xC3\x9C" "bersetzungen liegen neben dem Programm, wenn es dort schreiben\n"
           "darf, sonst in $XDG_DATA_HOME/sonvira (meist ~/.local/share/sonvira).\n";
}

std::string VersionText() {
    return "Sonvira " SONVIRA_VERSION "\n";
}

}  // namespace sonvira
