#pragma once
// The translation editor's search. A record is shown when at least one of its first 19
// fields contains the search text, with the letters a … z compared without regard to case
// and every other character (umlauts included) as it is: "datei" finds "Datei" and
// "DATEI", "über" does not find "Über". Texts are the table's Windows-1252 bytes.
// Pure functions; any thread.

#include <span>
#include <string>
#include <string_view>

namespace sonvira {

// a … z turned into A … Z; every other byte stays.
std::string UpperAsciiLetters(std::string_view text);

// `search` is compared as given: pass it through UpperAsciiLetters once per test, as the
// editor reads its search field afresh for each record.
bool RecordMatchesSearch(std::span<const std::string> fields, std::string_view upperSearch);

}  // namespace sonvira
