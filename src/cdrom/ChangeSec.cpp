#include "ChangeSec.h"

#include <algorithm>

#include "CdCommands.h"

namespace sonvira {
namespace {

std::string TwoDigits(uint32_t value) {
    std::string text = std::to_string(value);
    return text.size() == 1 ? "0" + text : text;
}

}  // namespace

std::string ChangeSec(uint32_t pos, const TrackTable& table) {
    uint32_t track = 1;
    uint32_t base = 0;
    const uint32_t count = std::min(table.TrackCount, TrackTable::kSlots - 1);
    const uint32_t leadOut = table.TrackStart[count + 1];
    if (count > 0 && pos >= leadOut) {
        // Past the disc's end no track starts after pos: stay at the end of the last one.
        track = count;
        base = table.TrackStart[count];
        pos = std::max(leadOut, base);
    } else {
        for (uint32_t c = 1; c <= count + 1; ++c) {
            if (table.TrackStart[c] > pos) {
                track = std::max(c - 1, 1u);
                base = table.TrackStart[track];
                break;
            }
        }
    }
    const uint32_t s = pos > base ? (pos - base) / kSectorsPerSecond : 0;
    return "Track no. " + std::to_string(track) + " Time " + TwoDigits(s / 3600) + ":" +
           TwoDigits(s / 60 % 60) + ":" + TwoDigits(s % 60) + " s";
}

}  // namespace sonvira
