#pragma once
// Texts are Windows-1252 bytes in translate.dbf and UTF-8 everywhere else in the program.
// These two functions are the only place where one becomes the other.
// Pure functions; any thread.

#include <string>
#include <string_view>

namespace sonvira {

// Every byte has a character: 0x80 … 0x9F follow the Windows-1252 table, and the five
// bytes that table leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081 … so
// that a round trip keeps them.
std::string Win1252ToUtf8(std::string_view win1252);

// Characters without a Windows-1252 byte, and malformed UTF-8 sequences, become '?'.
std::string Utf8ToWin1252(std::string_view utf8);

}  // namespace sonvira
