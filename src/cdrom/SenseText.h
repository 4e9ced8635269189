#pragma once
// Sense data in words, for the log of a failed CD command.

#include <cstdint>
#include <string>

namespace sonvira {

// The name of sense key 0 … 15 ("Not Ready" for 2); null for any other value.
const char* SenseKeyName(uint8_t senseKey);

// "<sense-key name>:" (or "Fehler:" for a key above 15) followed by a blank and the
// description of every additional-sense row for (asc, ascq), in table order. Unknown codes
// add nothing. The key is the sense byte as returned, not masked to its low four bits.
std::string geterrorMessage(uint8_t senseKey, uint8_t asc, uint8_t ascq);

}  // namespace sonvira
