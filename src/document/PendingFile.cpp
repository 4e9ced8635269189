#include "PendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace sonvira {
namespace {

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

PendingFile::PendingFile(const std::string& target) : target_(target) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        // The kernel's own check for this user (ACLs, read-only mounts included), unlike
        // reading the mode bits; it does not open the file, so no watcher sees a write.
        if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) return;
        mode_ = st.st_mode & 07777;
        group_ = st.st_gid;
    } else if (errno != ENOENT) {
        return;
    } else {
        mode_ = NewFileMode();
    }
    std::string pattern = target_ + ".XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ >= 0) temp_ = std::move(pattern);
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty() && !committed_) ::unlink(temp_.c_str());
}

bool PendingFile::Write(const uint8_t* p, size_t n) {
    if (fd_ < 0) return false;
    while (n > 0) {
        const ssize_t w = ::write(fd_, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

bool PendingFile::Commit() {
    if (fd_ < 0) return false;
    // The group first: changing it may clear set-group-ID bits the mode then restores. An
    // ordinary user outside the old group cannot give it; the file then keeps the user's.
    if (group_ != kNoGroup) {
        [[maybe_unused]] const int groupGiven = ::fchown(fd_, static_cast<uid_t>(-1), group_);
    }
    bool ok = ::fchmod(fd_, mode_) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    committed_ = ok && ::rename(temp_.c_str(), target_.c_str()) == 0;
    return committed_;
}

}  // namespace sonvira
