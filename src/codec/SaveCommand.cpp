#include "SaveCommand.h"

#include "WavFile.h"

namespace sonvira {

std::string SaveFileName(const std::string& name, int fileType) {
    const size_t slash = name.find_last_of('/');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    if (name.find('.', base) != std::string::npos) return name;
    return name + (fileType == kSaveTypeMp3 ? ".mp3" : ".wav");
}

int SaveDocument(const std::string& path, int fileType, const AudioDocument& doc,
                 const Mp3Settings& settings, const std::function<void(int)>& progress,
                 Mp3Encoder& encoder) {
    if (fileType == kSaveTypeMp3) return SaveAsMP3File(path, doc, settings, progress, encoder);
    const bool ok = WriteWav(path, doc.SampleData, doc.IsStereo, doc.Is16Bit, doc.SampleRate.load(),
                             doc.DataSize);
    return ok ? 0 : kMsgCannotCreateFile;
}

}  // namespace sonvira
