#include "SoundServerIdentity.h"

#include <cstdlib>
#include <string>

namespace sonvira {
namespace {

// In a property list a later value of a key replaces an earlier one.
std::string PropertiesWithUsersLast(const std::string& ours, const char* users) {
    if (users == nullptr || *users == '\0') return ours;
    return ours + " " + users;
}

}  // namespace

void IntroduceToSoundServer() {
    // The plug-in sets the name itself, so only the override variable changes it.
    const std::string name = PropertiesWithUsersLast("application.name='Sonvira'", std::getenv("PULSE_PROP_OVERRIDE"));
    const std::string rest = PropertiesWithUsersLast(
        "application.icon_name='de.orlanda.sonvira' application.id='de.orlanda.sonvira' media.role='music'",
        std::getenv("PULSE_PROP"));
    setenv("PULSE_PROP_OVERRIDE", name.c_str(), 1);
    setenv("PULSE_PROP", rest.c_str(), 1);
}

}  // namespace sonvira
