#pragma once
// The running copy's own folder for temporary files (decoded sounds). Several copies run
// at once, so nothing temporary goes under a predictable name into a shared folder: each
// copy makes "sonvira-<pid>-XXXXXX" with mkdtemp (mode 0700, this user only) and removes
// it with everything in it when it ends. A copy that crashed cannot do that; the next
// start removes the folders whose process is gone.
//
// Plain C++; made and destroyed on one thread, Path() readable from any.

#include <sys/types.h>

#include <string>
#include <vector>

namespace sonvira {

// Where the folder may go, in order: $XDG_RUNTIME_DIR, $TMPDIR (each when set and not
// empty), /tmp.
std::vector<std::string> TempFolderBases();

// Removes the folders "sonvira-<pid>-*" in `base` that belong to this user and whose
// process no longer runs. Others' folders and those of running copies stay.
void RemoveAbandonedTempFolders(const std::string& base);

// The process id a folder name "sonvira-<pid>-XXXXXX" carries; 0 for any other name.
pid_t TempFolderOwner(const std::string& name);

class PrivateTempFolder {
public:
    // Makes the folder in the first of `bases` where that works, after clearing that base
    // of abandoned folders. Path() is empty when no base allowed it.
    explicit PrivateTempFolder(const std::vector<std::string>& bases = TempFolderBases());
    ~PrivateTempFolder();
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

    // The folder, without a trailing '/'; empty when none could be made.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace sonvira
