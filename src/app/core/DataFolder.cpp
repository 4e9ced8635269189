#include "DataFolder.h"

#include "SeedTranslationTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <system_error>

namespace sonvira {
namespace {

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

std::string UserDataFolder(const char* xdgDataHome, const std::string& home) {
    if (xdgDataHome && xdgDataHome[0] == '/') return WithSlash(xdgDataHome) + "sonvira/";
    if (home.empty() || home[0] != '/') return {};
    return WithSlash(home) + ".local/share/sonvira/";
}

bool FolderWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

DataPlaces ChooseDataPlaces(const std::string& programFolder, bool programFolderWritable,
                            const std::string& installedDataFromProgram, const std::string& userFolder) {
    const std::string beside = programFolder + "translate.dbf";
    const std::string installed =
        std::filesystem::path(programFolder + WithSlash(installedDataFromProgram) + "translate.dbf")
            .lexically_normal()
            .string();
    const bool tableBeside = IsFile(beside), tableInstalled = IsFile(installed);
    DataPlaces places;
    places.shippedTable = tableBeside ? beside : tableInstalled ? installed : std::string();
    const bool installedCopy = !tableBeside && tableInstalled;
    places.perUser = !userFolder.empty() && (!programFolderWritable || installedCopy);
    places.folder = places.perUser ? WithSlash(userFolder) : programFolder;
    return places;
}

namespace {

// Makes each missing folder of `path` with mode 0700, as the XDG rules ask for the data
// folders; folders that exist keep the mode their user gave them.
std::error_code MakePrivateFolders(const std::filesystem::path& path) {
    std::filesystem::path made;
    for (const auto& part : path) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return {errno, std::generic_category()};
    }
    std::error_code error;
    if (!std::filesystem::is_directory(path, error) && !error) error = std::make_error_code(std::errc::not_a_directory);
    return error;
}

}  // namespace

bool PrepareDataFolder(const DataPlaces& places, std::string& problem) {
    if (!places.perUser) return true;
    const std::error_code error = MakePrivateFolders(places.folder);
    if (error || !FolderWritable(places.folder)) {
        problem = places.folder + ": " + (error ? error.message() : "not writable");
        return false;
    }
    if (!places.shippedTable.empty()) SeedTranslationTable(places.shippedTable, places.folder + "translate.dbf");
    return true;
}

}  // namespace sonvira
