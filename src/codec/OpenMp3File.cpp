#include "OpenMp3File.h"

#include <cstdio>

namespace sonvira {
namespace {

struct RemoveOnExit {
    const std::string& path;
    ~RemoveOnExit() { std::remove(path.c_str()); }  // an error in deleting is ignored
};

}  // namespace

Mp3OpenResult OpenMp3File(const std::string& mp3Path, const std::string& tempDir,
                          TACMConvertor& mp3wav, const Mp3FormatList& formats,
                          std::atomic<bool>& stopRequested, const Mp3ImportHooks& hooks,
                          WavSound& out) {
    const std::string temp = CreateTempWav(tempDir, "tempwav", ".wav");
    if (temp.empty()) return Mp3OpenResult{kMsgCannotCreateOutput, false};
    RemoveOnExit remover{temp};
    Mp3OpenResult result;
    result.importMessage = ConvertMP3WAV(mp3Path, temp, mp3wav, formats, stopRequested, hooks);
    result.read = ReadWav(temp, out);
    return result;
}

}  // namespace sonvira
