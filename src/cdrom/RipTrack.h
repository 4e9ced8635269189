#pragma once
// Reading one track of an audio CD: the table of contents, the track's sectors in blocks of
// ten, karaoke on request, a log line for every step and error. The core of the CD import;
// the caller supplies the listener and replaces the document with the sound. Touches no
// translation and no window, so it may run on a worker thread; the listener hears from it
// on that thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CdTransport.h"
#include "DeferredText.h"
#include "TrackTable.h"

namespace sonvira {

// The largest sound the program holds: its sizes are signed 32-bit byte counts.
inline constexpr std::size_t kMostSoundBytes = 0x7FFFFFFF;

// Hears from a rip, on the thread that runs RipTrack.
class RipListener {
  public:
    virtual ~RipListener() = default;
    // One more line for the log, its words still to be chosen: call `line` with the
    // translation on the translation's own thread (not necessarily this one).
    virtual void Log(DeferredText line) = 0;
    // The position display (ChangeSec's text, which is not translated).
    virtual void ShowPosition(const std::string& text) = 0;
    // Polled once before each read; true when the user asked to stop (Abbrechen). The block
    // in hand is still read, then the rip ends. Must not block.
    virtual bool CancelRequested() = 0;
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
    // The table of contents this rip read; the previous one, unchanged, when it read none.
    TrackTable Tracks;
    // Nothing was read: the disc has fewer tracks than asked for, or the track holds data.
    bool TrackRefused = false;
    bool Cancelled = false;     // CancelRequested asked to stop; Sound holds what came before
    bool LimitReached = false;  // the next block would have passed the largest sound
};

// Reads track `request.Track`. `previous` is the last table of contents, kept when this rip
// reads none. Failed reads are logged and skipped; the eleventh in a row ends the rip like
// Abbrechen. Only in the last track a block is cut short at the lead-out, which drives
// refuse to read into; elsewhere every read covers 10 sectors. The sound stops before the
// block that would take it past `mostSoundBytes` (tests pass a smaller figure). Blocks the
// calling thread for the whole rip; the transport is used on this thread only.
RipResult RipTrack(CdTransport& transport, const RipRequest& request, TrackTable previous,
                   RipListener& listener, std::size_t mostSoundBytes = kMostSoundBytes);

}  // namespace sonvira
