#include "SaveCommand.h"

#include "WavFile.h"

namespace sonvira {

std::string SaveFileName(const std::string& name, int fileType) {
    const size_t slash = name.find_last_of('/');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    if (name.find('.', base) != std::string::npos) return name;
    return name + (fileType == kSaveTypeMp3 ? ".mp3" : ".wav");
}

SaveOutcome SaveDocument(const std::string& path, int fileType, const AudioDocument& doc,
                         const Mp3Settings& settings, const std::function<void(int)>& progress,
                         Mp3Encoder& encoder, const std::atomic<bool>* cancel) {
    SaveOutcome outcome;
    if (fileType != kSaveTypeMp3) {
        if (!WriteWav(path, doc.SampleData, doc.IsStereo, doc.Is16Bit, doc.SampleRate.load(),
                      doc.DataSize)) {
            outcome.message = Msg::CannotCreateFile;
            outcome.errorIcon = true;
        }
        return outcome;
    }
    try {
        const int message = SaveAsMP3File(path, doc, settings, progress, encoder, cancel);
        if (message == kMp3SaveCancelled)
            outcome.cancelled = true;
        else if (message != 0)
            outcome.message = static_cast<Msg>(message);
    } catch (const EMp3Encode& e) {
        outcome.errorIcon = true;
        if (e.message != 0)
            outcome.message = static_cast<Msg>(e.message);
        else
            outcome.text = e.what();
    }
    return outcome;
}

}  // namespace sonvira
