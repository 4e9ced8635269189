#pragma once
// A file written under a temporary name beside its target and renamed over the target
// only when it is complete, so that a failed write never destroys the file that was
// there. Without Commit the temporary file is removed again.

#include <cstddef>
#include <cstdint>
#include <string>

namespace sonvira {

class PendingFile {
public:
    explicit PendingFile(const std::string& target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // False when the temporary file could not be made (no folder, no permission).
    bool Ok() const { return fd_ >= 0; }
    // Writes all n bytes (retrying short writes); false on any failure.
    bool Write(const uint8_t* p, size_t n);
    // Closes the file with the target's permissions (or the umask's for a new one) and
    // renames it over the target. False on failure; the temporary file is then removed.
    bool Commit();

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace sonvira
