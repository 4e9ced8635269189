#pragma once
// Object names of menu items, derived from their German captions the way the program
// has always named them: the ASCII letters and digits of the caption followed by a number
// that makes the name unique ("Weich einblenden" → "Weicheinblenden1",
// "Sampleformat ändern..." → "Sampleformatndern1").

#include <map>
#include <string>

namespace sonvira {

class MenuItemNamer {
public:
    std::string NameFor(const std::string& caption);

private:
    std::map<std::string, int> used_;
};

}  // namespace sonvira
