#include "AccessKeys.h"

#include <cctype>
#include <optional>
#include <set>

namespace sonvira {
namespace {

bool IsAsciiLetter(unsigned char c) { return std::isalpha(c) && c < 0x80; }
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool StartsWord(const std::string& caption, size_t i) {
    if (i == 0) return true;
    const auto before = static_cast<unsigned char>(caption[i - 1]);
    return before < 0x80 && !std::isalnum(before);
}

// The position of the caption's key: word starts, then other letters, then digits.
std::optional<size_t> ChooseKey(const std::string& caption, const std::set<char>& taken) {
    const auto free = [&](size_t i) {
        return taken.count(static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i])))) == 0;
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (size_t i = 0; i < caption.size(); ++i) {
            const auto c = static_cast<unsigned char>(caption[i]);
            const bool fits = pass == 0   ? IsAsciiLetter(c) && StartsWord(caption, i)
                              : pass == 1 ? IsAsciiLetter(c)
                                          : IsAsciiDigit(c);
            if (fits && free(i)) return i;
        }
    }
    return std::nullopt;
}

std::string Marked(const std::string& caption, std::optional<size_t> key) {
    std::string marked;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (key && *key == i) marked += '&';
        marked += caption[i];
        if (caption[i] == '&') marked += '&';
    }
    return marked;
}

}  // namespace

std::vector<std::string> WithAccessKeys(const std::vector<std::string>& captions) {
    std::set<char> taken;
    std::vector<std::string> marked;
    marked.reserve(captions.size());
    for (const std::string& caption : captions) {
        const std::optional<size_t> key = ChooseKey(caption, taken);
        if (key) taken.insert(static_cast<char>(std::tolower(static_cast<unsigned char>(caption[*key]))));
        marked.push_back(Marked(caption, key));
    }
    return marked;
}

}  // namespace sonvira
