#pragma once
// The list of MP3 formats the decoder offers, built once at start-up: every MPEG audio
// sample rate × mono/stereo × each Layer III bit rate valid for that MPEG version, as
// format records with tag 85. The MP3 import looks its exact source format up here.

#include <vector>

#include "FormatRecord.h"

namespace sonvira {

using Mp3FormatList = std::vector<FormatRecord>;

// Appends the formats libmpg123 decodes to `formats` (the main window's
// `Mp3CodecFormats`, empty before). Window thread, once in FormCreate.
void EnumerateMp3CodecFormats(Mp3FormatList& formats);

}  // namespace sonvira
