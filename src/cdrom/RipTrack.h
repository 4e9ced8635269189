#pragma once
// Reading one track of an audio CD: the table of contents, the track's sectors in blocks of
// ten, karaoke on request, a log line for every step and error. The core of the CD import
// dialog's OK button; the dialog supplies the listener and replaces the document with the
// sound. Runs on the user-interface thread and hands control back once per block.

#include <cstdint>
#include <string>
#include <vector>

#include "CdTransport.h"
#include "TrackTable.h"

namespace sonvira {

class TranslationContext;

class RipListener {
  public:
    virtual ~RipListener() = default;
    // Appends one line to the log.
    virtual void Log(const std::string& line) = 0;
    // Shows the position display (ChangeSec's text).
    virtual void ShowPosition(const std::string& text) = 0;
    // Handles pending user-interface events, once before each read; true when the user
    // asked to stop (Abbrechen). The block in hand is still read, then the rip ends.
    virtual bool HandleEvents() = 0;
};

struct RipRequest {
    std::string DevicePath;  // the chosen drive; empty when the drive box has none
    bool UseSpti = true;     // block device (/dev/sr*) or generic SCSI device (/dev/sg*)
    int32_t Track = 1;       // 1 … 256
    bool Karaoke = false;
};

struct RipResult {
    // 44100 Hz stereo 16-bit sound read, whole blocks only; empty: the document stays.
    std::vector<uint8_t> Sound;
    bool TrackRefused = false;  // the disc has fewer tracks than asked for
};

// Reads track `request.Track`. `tracks` holds the last table of contents and is refilled
// when the TOC is read. Failed reads are logged and skipped; the eleventh in a row ends the
// rip like Abbrechen. Only in the last track a block is cut short at the lead-out, which
// drives refuse to read into; elsewhere every read covers 10 sectors.
RipResult RipTrack(CdTransport& transport, const RipRequest& request, TrackTable& tracks,
                   RipListener& listener, TranslationContext& translation);

}  // namespace sonvira
