#include "ReadErrorLine.h"

#include <cstdio>

#include "MessageCatalogue.h"
#include "SenseText.h"

namespace sonvira {
namespace {

std::string Hex(uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

}  // namespace

std::string SptiReadErrorLine(TranslationContext& translation, uint8_t scsiStatus, uint8_t senseKey,
                              uint8_t asc, uint8_t ascq) {
    return CatalogueText(translation, Msg::ScsiStatusError) + " " + std::to_string(scsiStatus) +
           "; Code:" + Hex(senseKey) + ";" + Hex(asc) + ";" + Hex(ascq) + " \"" +
           geterrorMessage(senseKey, asc, ascq) + "\"";
}

std::string AspiReadErrorLine(TranslationContext& translation, int status) {
    return CatalogueText(translation, Msg::RipErrorWord) + " " + std::to_string(status) + "! " +
           CatalogueText(translation, Msg::RipScsiCommandFailed);
}

}  // namespace sonvira
