#pragma once
// The log lines of a rip as deferred texts. Each captures copies of the values it names
// (message number, status, sense bytes, track count, device path) and chooses its words
// only when called with the translation, so the rip itself never touches the translation
// and may run on a worker thread. Made on any thread; called on the translation's thread.

#include <cstdint>
#include <string>

#include "CdTransport.h"
#include "DeferredText.h"
#include "MessageCatalogue.h"

namespace sonvira {

// Catalogue message `id`.
DeferredText CatalogueLine(Msg id);

// "12 Tracks gefunden..." (block device) or "12 Tracks gefunden" (generic SCSI).
DeferredText TracksFoundLine(uint32_t trackCount, bool useSpti);

// A READ TOC that failed: message 27; on the generic-SCSI path after "Fehler <status>! ".
DeferredText TocFailureLine(uint8_t status, bool useSpti);

// A READ CD that failed: SptiReadErrorLine of its status and sense data, or on the
// generic-SCSI path AspiReadErrorLine of its status.
DeferredText ReadFailureLine(const CdCommandResult& result, bool useSpti);

// Track `track` holds data, not sound, and is not read.
DeferredText DataTrackLine(int32_t track);

// The drive box names no drive: nothing was read.
DeferredText NoDriveChosenLine();

// The drive at `devicePath` could not be opened: message 30 for a block device; for a
// generic-SCSI node the access rights Linux asks for (reading and writing /dev/sg*).
DeferredText NoDriveAccessLine(const std::string& devicePath, bool useSpti);

}  // namespace sonvira
