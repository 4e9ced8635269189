#pragma once
// A file written under a temporary name beside its target and renamed over the target
// only when it is complete, so that a failed write never destroys the file that was
// there. Without Commit the temporary file is removed again.
//
// A rename needs only the folder's permission, so an existing target this user may not
// write (a write-protected file) is refused up front: the file stays as it was and no
// temporary file is made.
//
// The temporary file is named ".<target's name>.<pid>.XXXXXX.sonvira-tmp" (hidden, and
// telling whose it is), and it is flushed to the disk before the rename and the folder
// after it, so that after a crash or a power cut the target is the old file or the new
// one, whole. A crashed copy's leftovers are removed by RemoveLeftoverTempFiles.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace sonvira {

// The file's readers: anyone the mode allows, or its owner alone (files that list the
// user's paths; an existing file loses its group and other bits too).
enum class FileReaders { AsTheModeSays, OwnerOnly };

// The process's umask, read without changing it (another thread may be creating files).
mode_t CurrentUmask();

// Creates a new empty file (mode 0600) beside `target` under the temporary name described
// above and returns its descriptor (close-on-exec), its name in `name`; -1 on failure.
int CreateTempFileBeside(const std::string& target, std::string& name);

// Removes the temporary files "….sonvira-tmp" in `folder` that copies of the program left
// when they ended before renaming them (their process is gone).
void RemoveLeftoverTempFiles(const std::string& folder);

class PendingFile {
public:
    explicit PendingFile(const std::string& target, FileReaders readers = FileReaders::AsTheModeSays);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // False when the target may not be written or replaced (a write-protected file, no
    // folder, no permission in the folder).
    bool Ok() const { return fd_ >= 0; }
    // Writes all n bytes (retrying short writes); false on any failure.
    bool Write(const uint8_t* p, size_t n);
    // Gives the file the replaced target's mode and group (the umask's mode for a new one;
    // the group only where this user may give it), flushes it to the disk, renames it over
    // the target and flushes the folder. False on failure; the temporary file is then
    // removed.
    bool Commit();
    // As Commit, but only while no file has that name: when one appeared meanwhile (another
    // copy of the program made it) it is kept and this file dropped. True when this file
    // became the target.
    bool CommitIfAbsent();

private:
    bool Finish();
    bool Place(bool replace);

    std::string target_;
    static constexpr gid_t kNoGroup = static_cast<gid_t>(-1);

    std::string temp_;  // empty until the temporary file exists
    int fd_ = -1;
    bool committed_ = false;
    mode_t mode_ = 0;
    gid_t group_ = kNoGroup;  // for a new file the group stays as created
};

}  // namespace sonvira
