#include "ProgramSettings.h"

#include "FileMemory.h"
#include "RecentFiles.h"

namespace sonvira {

SettingsFile LoadProgramSettings(const std::string& path) {
    SettingsFile settings(path);
    settings.JoinListWith("recent.", &RecentFiles::Join);
    settings.JoinListWith("place.", &FileMemory::Join);
    settings.Load();
    return settings;
}

}  // namespace sonvira
