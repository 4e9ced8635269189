#pragma once
// The start sectors of a disc's tracks as the table of contents gives them, and which of
// the tracks hold data rather than sound.

#include <array>
#include <cstdint>
#include <span>

namespace sonvira {

struct TrackTable {
    static constexpr uint32_t kSlots = 256;
    // CONTROL bit 2: the track holds data (a CD-ROM track), not audio.
    static constexpr uint8_t kDataTrackControl = 0x04;

    // TrackStart[1 … TrackCount]: the tracks' start sectors (logical block addresses) in
    // TOC order; TrackStart[TrackCount + 1]: the lead-out. Index 0 is unused.
    std::array<uint32_t, kSlots + 1> TrackStart{};
    // The CONTROL nibble of the same descriptors (low four bits of each one's byte 1).
    std::array<uint8_t, kSlots + 1> Control{};
    uint32_t TrackCount = 0;

    // True when track `track` (1 … kSlots) is marked as data in its CONTROL nibble.
    bool IsDataTrack(uint32_t track) const {
        return track <= kSlots && (Control[track] & kDataTrackControl) != 0;
    }
};

// Fills `table` from the answer to READ TOC format 0: bytes 0 and 1 the answer's length
// (big-endian, counting the bytes after itself), bytes 2 and 3 first and last track number,
// descriptors of 8 bytes from byte 4 with CONTROL in the low four bits of their byte 1 and
// the address at their bytes 4 … 7. `toc` holds the bytes the drive delivered; of these only
// as many as the length field names count, as the rest of a buffer is not the answer.
// Reads last − first + 2 descriptors, the last being the lead-out, but no more than
// TrackStart holds and whole descriptors the answer contains; a last track below first − 1
// gives no tracks. Slots beyond what was read keep their old values. Any thread.
void ReadTrackStarts(std::span<const uint8_t> toc, TrackTable& table);

}  // namespace sonvira
