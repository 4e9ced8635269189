#include "SenseText.h"

#include <array>

#include "AdditionalSenseTable.h"

namespace sonvira {
namespace {

constexpr std::array<const char*, 16> kSenseKeyNames = {
    "No Additional Sense",
    "Recovered Error",
    "Not Ready",
    "Medium Error",
    "Hardware Error",
    "Illegal Request",
    "Unit Attention",
    "Data Protect",
    "Blank Check",
    "Vendor Unique",
    "Copy Aborted",
    "Aborted Command",
    "Equal",
    "Volume Overflow",
    "Miscompare",
    "Reserved",
};

}  // namespace

const char* SenseKeyName(uint8_t senseKey) {
    return senseKey < kSenseKeyNames.size() ? kSenseKeyNames[senseKey] : nullptr;
}

std::string geterrorMessage(uint8_t senseKey, uint8_t asc, uint8_t ascq) {
    const char* name = SenseKeyName(senseKey);
    std::string text = name ? std::string(name) + ":" : std::string("Fehler:");
    for (const AdditionalSense& row : AdditionalSenseTable()) {
        if (row.Asc == asc && row.Ascq == ascq) {
            text += ' ';
            text += row.Description;
        }
    }
    return text;
}

}  // namespace sonvira
