#pragma once
// The additional sense codes a drive reports with its sense data (ASC, ASCQ), with their
// descriptions in lower case, for the log lines of a failed CD command.

#include <cstdint>
#include <span>

namespace sonvira {

struct AdditionalSense {
    uint8_t Asc;
    uint8_t Ascq;
    const char* Description;
};

// Every row in ascending order of ASC, then ASCQ, from (0x00, 0x00) to (0x80, 0x00). A pair
// may have more than one row: (0x40, 0x00) has two, both shown. Static storage.
std::span<const AdditionalSense> AdditionalSenseTable();

}  // namespace sonvira
