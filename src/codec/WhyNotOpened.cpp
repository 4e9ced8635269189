#include "WhyNotOpened.h"

#include "FileProblem.h"
#include "OpenSoundFile.h"

namespace sonvira {

const char* WhyNotOpened(const std::string& path) {
    const FileProblem problem = WhyNotReadable(path);
    if (problem != FileProblem::Unknown) return FileProblemText(problem);
    if (ChooseOpenPath(path) == OpenPath::Refused) return "Der Aufbau dieser WAV-Datei ist beschädigt.";
    return "Das Format der Datei wird nicht unterstützt, oder die Datei ist beschädigt.";
}

}  // namespace sonvira
