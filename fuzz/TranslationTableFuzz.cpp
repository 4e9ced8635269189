// translate.dbf on arbitrary bytes: opening (read-only when damaged), building the index,
// lookups that hit (the table's own German texts) and miss (appended to this copy of the
// file when it is writable). A text appended once must be found at its second lookup.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchDir.h"
#include "TranslationContext.h"
#include "Win1252.h"

namespace {

constexpr uint32_t kLookedUpRecords = 8;

void LookUpStoredTexts(sonvira::TranslationContext& context) {
    const sonvira::TDbfTable& table = context.Table();
    const uint32_t last = std::min(table.RecordCount(), kLookedUpRecords);
    for (uint32_t recordNo = 1; recordNo <= last; ++recordNo)
        context.Translate(" " + sonvira::Win1252ToUtf8(table.Value(recordNo, 0)) + " ");
}

// A text longer than any field, so that the cut key is exercised as well.
void LookUpMissingTextTwice(sonvira::TranslationContext& context, const std::string& text) {
    const uint32_t before = context.Table().RecordCount();
    context.Translate(text);
    context.Translate(text);
    if (context.Table().RecordCount() > before + 1) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const sonvira::fuzz::ScratchDir scratch;
    sonvira::TranslationContext context;
    try {
        context.OpenTranslationTable(scratch.Write("translate.dbf", data, size));
    } catch (const sonvira::EDbfError&) {
        return 0;  // no table: the program goes on with German texts
    }
    context.BuildTranslationIndex();
    context.SetLanguageIndex(static_cast<int32_t>(size % 3));  // German, English or French
    LookUpStoredTexts(context);
    LookUpMissingTextTwice(context, "Datei nicht gefunden: Öffnen");
    LookUpMissingTextTwice(context, std::string(300, 'x') + "ä");
    return 0;
}
