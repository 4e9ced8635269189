#pragma once
// The MP3 decoder stream the program opens MP3 files with.

#include "FormatRecord.h"
#include "TACMConvertor.h"

namespace sonvira {

// An inactive converter from the stored MP3 record (24000 Hz stereo 56 kbit/s; the
// import puts the file's own format in before opening) to 44100 Hz 16-bit stereo PCM.
// The converter cannot be copied or moved: it is built in place,
// `TACMConvertor conv = MakeMp3Decoder();`.
inline TACMConvertor MakeMp3Decoder() {
    return TACMConvertor(StoredMp3FormatIn(), StoredPcmFormatOut());
}

}  // namespace sonvira
