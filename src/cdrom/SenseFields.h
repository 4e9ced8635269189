#pragma once
// The three fields of SCSI sense data the log names: sense key, ASC and ASCQ.

#include <cstdint>
#include <span>

namespace sonvira {

struct SenseFields {
    uint8_t Key = 0;  // 0 … 15
    uint8_t Asc = 0;
    uint8_t Ascq = 0;
};

// The fields of `sense` as a drive returned it. The response code (low seven bits of byte
// 0) tells the layout: 0x70/0x71 fixed format (key in the low four bits of byte 2, ASC
// byte 12, ASCQ byte 13), 0x72/0x73 descriptor format (key in the low four bits of byte 1,
// ASC byte 2, ASCQ byte 3). Any other code carries no fields we know: all zero. Bytes
// missing from a short `sense` read as zero. Pure; any thread.
SenseFields ParseSense(std::span<const uint8_t> sense);

}  // namespace sonvira
