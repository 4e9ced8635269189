#pragma once
// Access keys for the captions of one menu, or of the menu bar: Alt with the underlined
// letter opens a menu, the letter alone chooses an item in an open one. They are chosen
// from the caption in the language shown, so every language gets keys that fit its words,
// including languages users add to the table themselves.

#include <string>
#include <vector>

namespace sonvira {

// The captions (UTF-8, as shown) with "&" before each one's access key, in Qt's notation;
// an "&" of the caption itself becomes "&&". No two captions of the group share a key,
// letters compared without case. A caption prefers the first letter of one of its words,
// then any other letter, then a digit; letters outside ASCII are passed over (not every
// keyboard has them). A caption whose letters are all taken, or an empty one (a
// separator), gets no key.
std::vector<std::string> WithAccessKeys(const std::vector<std::string>& captions);

}  // namespace sonvira
