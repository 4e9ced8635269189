#include "RecordFilter.h"

#include <algorithm>

namespace sonvira {
namespace {
constexpr std::size_t kSearchedFields = 19;
}

std::string UpperAsciiLetters(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool RecordMatchesSearch(std::span<const std::string> fields, std::string_view upperSearch) {
    const std::size_t n = std::min(fields.size(), kSearchedFields);
    for (std::size_t i = 0; i < n; ++i)
        if (UpperAsciiLetters(fields[i]).find(upperSearch) != std::string::npos) return true;
    return false;
}

}  // namespace sonvira
