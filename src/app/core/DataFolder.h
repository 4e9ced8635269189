#pragma once
// Where the program keeps the files it writes: options.dat, translate.dbf and
// settings.conf. Beside itself when it may write there and is not an installed copy (the
// build folder, a portable copy: as it always did); otherwise in the user's data folder,
// $XDG_DATA_HOME/sonvira (by default ~/.local/share/sonvira), which the first start makes
// and seeds with the translation table shipped with the program.

#include <string>

namespace sonvira {

struct DataPlaces {
    std::string folder;        // where the files are kept; ends in '/'
    std::string shippedTable;  // the translate.dbf that came with the program; empty when none
    bool perUser = false;      // `folder` is the user's data folder
};

// "$XDG_DATA_HOME/sonvira/" when that holds an absolute path (a relative one is to be
// ignored), else "<home>/.local/share/sonvira/"; empty when the home folder is unknown too.
std::string UserDataFolder(const char* xdgDataHome, const std::string& home);

// Whether this process's user may create and replace files in `folder`.
bool FolderWritable(const std::string& folder);

// `programFolder` ends in '/'. An installed copy keeps its shipped table in
// `installedDataFromProgram` (relative to its folder, e.g. "../share/sonvira/") and has
// none beside itself; it uses the user's folder even where it could write (as root), so
// that nothing is ever written into a system folder. Without a usable `userFolder` the
// program folder stays the place.
DataPlaces ChooseDataPlaces(const std::string& programFolder, bool programFolderWritable,
                            const std::string& installedDataFromProgram, const std::string& userFolder);

// For a per-user place: makes the folder and its missing parents (mode 0700: it lists the
// user's files; a folder that exists keeps its mode) and seeds or completes its
// translate.dbf from the shipped one. Returns false, with the reason in `problem`, when
// the folder cannot be made; a table that cannot be seeded is no failure (the program
// then makes an empty one, as in any folder without a table). Nothing to do otherwise.
bool PrepareDataFolder(const DataPlaces& places, std::string& problem);

}  // namespace sonvira
