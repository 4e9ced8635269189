#include "RipLogLines.h"

#include "ReadErrorLine.h"
#include "TranslationContext.h"

namespace sonvira {
namespace {

// `text` with its "%1" replaced by `value`. The mark stays in every translation, so the
// value lands in the same place in each language; a translation that lost it keeps its words.
std::string WithValue(std::string text, const std::string& value) {
    if (const auto at = text.find("%1"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace

DeferredText CatalogueLine(Msg id) {
    return [id](TranslationContext& tr) { return CatalogueText(tr, id); };
}

DeferredText TracksFoundLine(uint32_t trackCount, bool useSpti) {
    return [trackCount, useSpti](TranslationContext& tr) {
        return std::to_string(trackCount) + " " +
               CatalogueText(tr, useSpti ? Msg::SptiTracksFound : Msg::AspiTracksFound);
    };
}

DeferredText TocFailureLine(uint8_t status, bool useSpti) {
    if (useSpti) return CatalogueLine(Msg::CannotReadToc);
    return [status](TranslationContext& tr) {
        return CatalogueText(tr, Msg::RipErrorWord) + " " + std::to_string(status) + "! " +
               CatalogueText(tr, Msg::CannotReadToc);
    };
}

DeferredText ReadFailureLine(const CdCommandResult& result, bool useSpti) {
    if (useSpti) {
        return [status = result.Status, sense = result.Sense](TranslationContext& tr) {
            return SptiReadErrorLine(tr, status, sense);
        };
    }
    return
        [status = result.Status](TranslationContext& tr) { return AspiReadErrorLine(tr, status); };
}

DeferredText DataTrackLine(int32_t track) {
    return [track](TranslationContext& tr) {
        return WithValue(
            tr.Translate("Track %1 ist ein Datentrack und keine Musik; er wird nicht gelesen."),
            std::to_string(track));
    };
}

DeferredText NoDriveChosenLine() {
    return [](TranslationContext& tr) {
        return tr.Translate("Kein CD-Laufwerk gefunden, es wurde nichts gelesen.");
    };
}

DeferredText NoDriveAccessLine(const std::string& devicePath, bool useSpti) {
    if (useSpti) return CatalogueLine(Msg::NoSptiDriveAccess);
    return [devicePath](TranslationContext& tr) {
        return WithValue(tr.Translate("Kein Zugriff auf das Gerät %1. Zum Lesen von CDs braucht "
                                      "der Benutzer Lese- und Schreibrechte auf /dev/sg* (z. B. "
                                      "als Mitglied der Gruppe cdrom)."),
                         devicePath);
    };
}

}  // namespace sonvira
