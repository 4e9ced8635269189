#pragma once
// The numbered German messages that the program builds at run time. Code never shows one
// directly: it asks CatalogueText for message N and gets it in the current language.
// User-interface thread (through the translation context).

#include <cstdint>
#include <span>
#include <string>

namespace sonvira {

class TranslationContext;

struct CatalogueEntry {
    int32_t Number;
    const char* German;  // UTF-8, outer blanks significant
};

// Every entry in ascending number order; numbers without an entry are missing.
std::span<const CatalogueEntry> MessageCatalogue();

// The German text of message `number`, or null when the catalogue has no such number.
const char* CatalogueGerman(int32_t number);

// Message `number` translated into `text`; for a number without an entry `text` is left
// as it was and false is returned.
bool CatalogueText(TranslationContext& translation, int32_t number, std::string& text);
// Same, for callers that only pass known numbers: empty for an unknown one.
std::string CatalogueText(TranslationContext& translation, int32_t number);

// Passes every entry through Translate in number order, so that a fresh table lists all
// of them before any is shown (start-up, first showing of the main window).
void RegisterMessages(TranslationContext& translation);

}  // namespace sonvira
