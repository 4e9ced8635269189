#include "OpenDecodedFile.h"

#include <cstdio>

namespace sonvira {
namespace {

struct RemoveOnExit {
    const std::string& path;
    ~RemoveOnExit() { std::remove(path.c_str()); }  // an error in deleting is ignored
};

}  // namespace

DecodedOpenResult OpenDecodedFile(const std::string& path, const std::string& tempDir,
                                  SoundDecoder& decoder, std::atomic<bool>& stopRequested,
                                  const Mp3ImportHooks& hooks, WavSound& out) {
    const std::string temp = CreateTempWav(tempDir, "tempwav", ".wav");
    if (temp.empty()) return DecodedOpenResult{DecodeResult::CannotCreate, false};
    RemoveOnExit remover{temp};
    DecodedOpenResult result;
    result.decode = DecodeToWav(decoder, path, temp, stopRequested, hooks);
    result.read = result.decode == DecodeResult::Written && ReadWav(temp, out);
    return result;
}

}  // namespace sonvira
