#pragma once
// The log line of a READ CD (or other data-in command) that a drive refused.

#include <cstdint>
#include <string>

namespace sonvira {

class TranslationContext;

// Message 29, the SCSI status in decimal and the sense key, ASC and ASCQ in upper-case hex
// without leading zeros, then geterrorMessage of them in double quotes:
//   Fehler: SCSI Status 2; Code:2;3A;0 "Not Ready: medium not present"
std::string SptiReadErrorLine(TranslationContext& translation, uint8_t scsiStatus, uint8_t senseKey,
                              uint8_t asc, uint8_t ascq);

// The generic-SCSI ("ASPI") path: "Fehler", the adapter status in decimal, "! " and
// message 33 ("Fehler beim Ausführen des SCSI Kommandos...").
std::string AspiReadErrorLine(TranslationContext& translation, int status);

}  // namespace sonvira
