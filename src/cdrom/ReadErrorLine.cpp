#include "ReadErrorLine.h"

#include <cstdio>

#include "MessageCatalogue.h"
#include "SenseFields.h"
#include "SenseText.h"

namespace sonvira {
namespace {

std::string Hex(uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

}  // namespace

std::string SptiReadErrorLine(TranslationContext& translation, uint8_t scsiStatus,
                              std::span<const uint8_t> sense) {
    const SenseFields fields = ParseSense(sense);
    return CatalogueText(translation, Msg::ScsiStatusError) + " " + std::to_string(scsiStatus) +
           "; Code:" + Hex(fields.Key) + ";" + Hex(fields.Asc) + ";" + Hex(fields.Ascq) + " \"" +
           geterrorMessage(fields.Key, fields.Asc, fields.Ascq) + "\"";
}

std::string AspiReadErrorLine(TranslationContext& translation, int status) {
    return CatalogueText(translation, Msg::RipErrorWord) + " " + std::to_string(status) + "! " +
           CatalogueText(translation, Msg::RipScsiCommandFailed);
}

}  // namespace sonvira
