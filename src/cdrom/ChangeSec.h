#pragma once
// The position display of a rip: which track sector `pos` lies in and how far into it.

#include <cstdint>
#include <string>

#include "TrackTable.h"

namespace sonvira {

// "Track no. 3 Time 00:00:10 s" for sector 40750 when track 3 starts at 40000: the track
// is the last one starting at or before `pos` (at least 1), the time counts whole seconds
// from its start. At or after the lead-out it shows the end of the last track; before the
// first track's start, 00:00:00. These English words are not translated.
std::string ChangeSec(uint32_t pos, const TrackTable& table);

}  // namespace sonvira
