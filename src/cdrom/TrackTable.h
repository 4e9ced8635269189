#pragma once
// The start sectors of a disc's tracks as the table of contents gives them.

#include <array>
#include <cstdint>
#include <span>

namespace sonvira {

struct TrackTable {
    static constexpr uint32_t kSlots = 256;
    // TrackStart[1 … TrackCount]: the tracks' start sectors (logical block addresses) in
    // TOC order; TrackStart[TrackCount + 1]: the lead-out. Index 0 is unused.
    std::array<uint32_t, kSlots + 1> TrackStart{};
    uint32_t TrackCount = 0;
};

// Fills `table` from the answer to READ TOC format 0 (header: bytes 2 and 3 first and last
// track number; descriptors of 8 bytes from byte 4, address at bytes 4 … 7 of each). Reads
// last − first + 2 descriptors, the last being the lead-out, but no more than TrackStart
// holds and `toc` contains; a last track below first − 1 gives no tracks. Slots beyond what
// was read keep their old values.
void ReadTrackStarts(std::span<const uint8_t> toc, TrackTable& table);

}  // namespace sonvira
