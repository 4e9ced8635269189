#include "HotKeySource.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace sonvira {
namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) return false;
    }
    return true;
}

}  // namespace

HotKeySource ChooseHotKeySource(const SessionEnvironment& environment) {
    const bool waylandDisplay =
        environment.waylandDisplay != nullptr && environment.waylandDisplay[0] != '\0';
    const bool waylandSession = environment.sessionType != nullptr &&
                                EqualsIgnoringCase(environment.sessionType, "wayland");
    return waylandDisplay || waylandSession ? HotKeySource::PortalThenX11Grabs
                                            : HotKeySource::X11Grabs;
}

SessionEnvironment CurrentSessionEnvironment() {
    return {std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE")};
}

}  // namespace sonvira
