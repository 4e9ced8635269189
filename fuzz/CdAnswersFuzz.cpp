// What a CD drive answers, on arbitrary bytes: the table of contents (READ TOC format 0)
// into the track table and the position display at every listed sector, and sense data
// into the log's words. The same bytes also serve as sense data, and their first three as
// sense key, ASC and ASCQ.

#include <cstddef>
#include <cstdint>
#include <span>

#include "ChangeSec.h"
#include "SenseFields.h"
#include "SenseText.h"
#include "TrackTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sonvira::TrackTable table;
    sonvira::ReadTrackStarts(std::span<const uint8_t>(data, size), table);
    if (table.TrackCount > sonvira::TrackTable::kSlots) __builtin_trap();
    for (uint32_t i = 1; i <= table.TrackCount + 1 && i <= sonvira::TrackTable::kSlots; ++i) {
        (void)sonvira::ChangeSec(table.TrackStart[i], table);
        (void)sonvira::ChangeSec(table.TrackStart[i] + 750, table);
    }
    if (size >= 3) (void)sonvira::geterrorMessage(data[0], data[1], data[2]);
    if (sonvira::ParseSense(std::span<const uint8_t>(data, size)).Key > 15) __builtin_trap();
    return 0;
}
