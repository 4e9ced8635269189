#include "PendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sonvira {
namespace {

// The permissions a new file gets from the umask, or those of the file being replaced.
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

PendingFile::PendingFile(const std::string& target) : target_(target), temp_(target + ".XXXXXX") {
    fd_ = ::mkstemp(temp_.data());
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
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
    bool ok = ::fchmod(fd_, ModeFor(target_)) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    committed_ = ok && ::rename(temp_.c_str(), target_.c_str()) == 0;
    return committed_;
}

}  // namespace sonvira
