#include "OpenSoundFile.h"

#include <cctype>

#include "OpenMp3File.h"

namespace sonvira {

bool NamesMp3File(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string suffix = name.substr(dot + 1);
    for (char& c : suffix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return suffix == "MP3";
}

OpenOutcome OpenSoundFile(const std::string& path, const std::string& tempDir,
                          TACMConvertor& mp3wav, const Mp3FormatList& formats,
                          std::atomic<bool>& stopRequested, const Mp3ImportHooks& hooks,
                          WavSound& out) {
    OpenOutcome outcome;
    if (NamesMp3File(path)) {
        const Mp3OpenResult mp3 =
            OpenMp3File(path, tempDir, mp3wav, formats, stopRequested, hooks, out);
        if (mp3.importMessage != 0) outcome.messages.push_back(static_cast<Msg>(mp3.importMessage));
        outcome.read = mp3.read;
    } else {
        outcome.read = ReadWav(path, out);
    }
    if (!outcome.read) outcome.messages.push_back(Msg::CannotOpenFile);
    return outcome;
}

}  // namespace sonvira
