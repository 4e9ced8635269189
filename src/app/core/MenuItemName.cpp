#include "MenuItemName.h"

namespace sonvira {

std::string MenuItemNamer::NameFor(const std::string& caption) {
    std::string base;
    for (const unsigned char c : caption)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            base += static_cast<char>(c);
    if (base.empty()) base = "N";
    return base + std::to_string(++used_[base]);
}

}  // namespace sonvira
