// The Open command's MP3 branch on arbitrary file bytes: start search (RIFF wrapper, zero
// bytes, ID3v2 tag, frame scan), format choice, decoding through libmpg123 into the
// temporary WAV and reading that back. Each input starts from the main window's records,
// so a finding replays alone.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "OpenMp3File.h"
#include "ScratchDir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const sonvira::fuzz::ScratchDir scratch;
    static const sonvira::Mp3FormatList formats = [] {
        sonvira::Mp3FormatList list;
        sonvira::EnumerateMp3CodecFormats(list);
        return list;
    }();
    sonvira::TACMConvertor mp3wav;
    mp3wav.ACMFormatIn = sonvira::StoredMp3FormatIn();
    mp3wav.ACMFormatOut = sonvira::StoredPcmFormatOut();
    std::atomic<bool> stop{false};
    sonvira::WavSound sound;
    try {
        sonvira::OpenMp3File(scratch.Write("input.mp3", data, size), scratch.path(), mp3wav,
                             formats, stop, {}, sound);
    } catch (const sonvira::EACMConvertor&) {
        // A stream the decoder refuses: the window shows the text; not a fault.
    }
    if (mp3wav.Active()) __builtin_trap();  // the next import could not open its stream
    return 0;
}
