#include "SaveCommand.h"

#include "FileProblem.h"
#include "WavFile.h"

namespace sonvira {
namespace {

constexpr uint64_t kWavHeaderBytes = 44;

// The file's size, for telling a full disk: exact for a WAV file, for an MP3 file about
// the least an encoder's usual bit rates give.
uint64_t BytesNeeded(const AudioDocument& doc, int fileType) {
    const uint64_t data = doc.DataSize > 0 ? uint64_t(doc.DataSize) : 0;
    return fileType == kSaveTypeMp3 ? data / 16 : kWavHeaderBytes + data;
}

SaveOutcome SaveWav(const std::string& path, const AudioDocument& doc) {
    SaveOutcome outcome;
    if (!WriteWav(path, doc.SampleData, doc.IsStereo, doc.Is16Bit, doc.SampleRate.load(), doc.DataSize)) {
        outcome.message = Msg::CannotCreateFile;
        outcome.errorIcon = true;
    }
    return outcome;
}

SaveOutcome SaveMp3(const std::string& path, const AudioDocument& doc, const Mp3Settings& settings,
                    const std::function<void(int)>& progress, Mp3Encoder& encoder,
                    const std::atomic<bool>* cancel) {
    SaveOutcome outcome;
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

}  // namespace

std::string SaveFileName(const std::string& name, int fileType) {
    const size_t slash = name.find_last_of('/');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    if (name.find('.', base) != std::string::npos) return name;
    return name + (fileType == kSaveTypeMp3 ? ".mp3" : ".wav");
}

SaveOutcome SaveDocument(const std::string& path, int fileType, const AudioDocument& doc,
                         const Mp3Settings& settings, const std::function<void(int)>& progress,
                         Mp3Encoder& encoder, const std::atomic<bool>* cancel) {
    SaveOutcome outcome = fileType == kSaveTypeMp3 ? SaveMp3(path, doc, settings, progress, encoder, cancel)
                                                   : SaveWav(path, doc);
    if (outcome.message == Msg::CannotCreateFile)
        outcome.why = FileProblemText(WhyNotWritten(path, BytesNeeded(doc, fileType)));
    return outcome;
}

}  // namespace sonvira
