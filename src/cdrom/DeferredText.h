#pragma once
// A text whose words are chosen later: a function that, handed the translation, gives the
// text in the current language. Work on another thread captures the values a text needs
// and leaves the choice of words to the thread that owns the translation (the window's),
// as TranslationContext may be used on that thread only.

#include <functional>
#include <string>

namespace sonvira {

class TranslationContext;

// Owns copies of everything it needs: may be called any time later, on any one thread
// that may use the translation it is handed.
using DeferredText = std::function<std::string(TranslationContext&)>;

}  // namespace sonvira
