#include "OpenSoundFile.h"

#include <cctype>

#include "FfmpegDecoder.h"
#include "OpenDecodedFile.h"
#include "OpenMp3File.h"
#include "SoundContent.h"

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

OpenPath ChooseOpenPath(const std::string& path) {
    // Whatever our WAV reader takes stays with it, as it always has.
    const WavLayout layout = InspectWav(path);
    if (layout == WavLayout::Readable) return OpenPath::WavReader;
    if (layout == WavLayout::OtherSampleFormat) return OpenPath::Decoder;
    const SoundContent content = SniffSoundFile(path);
    if (content == SoundContent::Mp3) return OpenPath::Mp3Import;
    // A ".mp3" name keeps the MP3 import (which also takes RIFF-wrapped MP3 and MP3 behind
    // junk) unless the content is plainly another container.
    if (NamesMp3File(path) && content != SoundContent::OtherContainer) return OpenPath::Mp3Import;
    // A damaged WAV file stays refused: FFmpeg would read past what is wrong with it.
    if (content == SoundContent::RiffWave) return OpenPath::Refused;
    return OpenPath::Decoder;
}

namespace {

void OpenDecoded(const std::string& path, const std::string& tempDir,
                 std::atomic<bool>& stopRequested, const Mp3ImportHooks& hooks, WavSound& out,
                 OpenOutcome& outcome) {
    const auto decoder = MakeFfmpegDecoder();
    const DecodedOpenResult result =
        OpenDecodedFile(path, tempDir, *decoder, stopRequested, hooks, out);
    outcome.read = result.read;
    if (result.decode == DecodeResult::TooLarge) outcome.tooLarge = true;
    if (result.decode == DecodeResult::CannotCreate)
        outcome.messages.push_back(Msg::CannotCreateOutputFile);
}

}  // namespace

OpenOutcome OpenSoundFile(const std::string& path, const std::string& tempDir,
                          TACMConvertor& mp3wav, const Mp3FormatList& formats,
                          std::atomic<bool>& stopRequested, const Mp3ImportHooks& hooks,
                          WavSound& out) {
    OpenOutcome outcome;
    switch (ChooseOpenPath(path)) {
        case OpenPath::Mp3Import: {
            const Mp3OpenResult mp3 =
                OpenMp3File(path, tempDir, mp3wav, formats, stopRequested, hooks, out);
            if (mp3.importMessage != 0)
                outcome.messages.push_back(static_cast<Msg>(mp3.importMessage));
            outcome.read = mp3.read;
            break;
        }
        case OpenPath::WavReader:
            outcome.read = ReadWav(path, out);
            break;
        case OpenPath::Decoder:
            OpenDecoded(path, tempDir, stopRequested, hooks, out, outcome);
            break;
        case OpenPath::Refused:
            break;
    }
    if (!outcome.read && !outcome.tooLarge) outcome.messages.push_back(Msg::CannotOpenFile);
    return outcome;
}

}  // namespace sonvira
