#pragma once
// The log line of a READ CD (or other data-in command) that a drive refused.

#include <cstdint>
#include <span>
#include <string>

namespace sonvira {

class TranslationContext;

// Message 29, the SCSI status in decimal and the sense key, ASC and ASCQ of `sense` (as the
// drive returned it, decoded by ParseSense) in upper-case hex without leading zeros, then
// geterrorMessage of them in double quotes:
//   Fehler: SCSI Status 2; Code:2;3A;0 "Not Ready: medium not present"
// Thread of `translation`.
std::string SptiReadErrorLine(TranslationContext& translation, uint8_t scsiStatus,
                              std::span<const uint8_t> sense);

// The generic-SCSI ("ASPI") path: "Fehler", the adapter status in decimal, "! " and
// message 33 ("Fehler beim Ausführen des SCSI Kommandos..."). Thread of `translation`.
std::string AspiReadErrorLine(TranslationContext& translation, int status);

}  // namespace sonvira
