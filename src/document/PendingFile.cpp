#include "PendingFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <memory>
#include <optional>
#include <utility>

namespace sonvira {
namespace {

constexpr char kTempSuffix[] = ".sonvira-tmp";

// "Umask:\t0022" in /proc/self/status (Linux 4.7 and later); nothing when it is missing.
std::optional<mode_t> UmaskFromStatus() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (!line.starts_with("Umask:")) continue;
        const std::size_t digits = line.find_first_of("01234567");
        if (digits == std::string::npos) return std::nullopt;
        unsigned mask = 0;
        const auto [end, error] = std::from_chars(line.data() + digits, line.data() + line.size(), mask, 8);
        if (error != std::errc()) return std::nullopt;
        return static_cast<mode_t>(mask & 0777);
    }
    return std::nullopt;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string TempPatternFor(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + "." + std::to_string(::getpid()) + ".XXXXXX" + kTempSuffix;
}

// The process id in a temporary name ".<name>.<pid>.XXXXXX.sonvira-tmp"; 0 for other names.
pid_t TempFileOwner(const std::string& name) {
    const std::size_t suffix = sizeof kTempSuffix - 1;
    if (!name.starts_with('.') || name.size() < suffix + 9 || !name.ends_with(kTempSuffix)) return 0;
    const std::string stem = name.substr(0, name.size() - suffix - 7);  // without ".XXXXXX" + suffix
    if (name[stem.size()] != '.') return 0;
    const std::size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot == 0) return 0;
    long pid = 0;
    const auto [end, error] = std::from_chars(stem.data() + dot + 1, stem.data() + stem.size(), pid);
    if (error != std::errc() || end != stem.data() + stem.size() || pid <= 0) return 0;
    return static_cast<pid_t>(pid);
}

bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

mode_t CurrentUmask() {
    if (const auto mask = UmaskFromStatus()) return *mask;
    // Older kernels: the only other way changes it for a moment.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

int CreateTempFileBeside(const std::string& target, std::string& name) {
    std::string pattern = TempPatternFor(target);
    const int fd = ::mkostemps(pattern.data(), sizeof kTempSuffix - 1, O_CLOEXEC);
    if (fd >= 0) name = std::move(pattern);
    return fd;
}

void RemoveLeftoverTempFiles(const std::string& folder) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const pid_t owner = TempFileOwner(entry->d_name);
        // EPERM: the process runs under another user.
        if (owner == 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(path.c_str());
    }
}

PendingFile::PendingFile(const std::string& target, FileReaders readers) : target_(target) {
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
        mode_ = 0666 & ~CurrentUmask();
    }
    if (readers == FileReaders::OwnerOnly) {
        mode_ &= 0700;
        group_ = kNoGroup;
    }
    fd_ = CreateTempFileBeside(target_, temp_);
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

// Gives the file its mode and group and puts it on the disk; the descriptor is closed.
bool PendingFile::Finish() {
    if (fd_ < 0) return false;
    // The group first: changing it may clear set-group-ID bits the mode then restores. An
    // ordinary user outside the old group cannot give it; the file then keeps the user's.
    if (group_ != kNoGroup) {
        [[maybe_unused]] const int groupGiven = ::fchown(fd_, static_cast<uid_t>(-1), group_);
    }
    bool ok = ::fchmod(fd_, mode_) == 0;
    // On the disk before the rename: otherwise a power cut may leave the new name on an
    // empty file.
    ok = ::fsync(fd_) == 0 && ok;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    return ok;
}

bool PendingFile::Place(bool replace) {
    if (replace) {
        committed_ = ::rename(temp_.c_str(), target_.c_str()) == 0;
    } else {
        // A link fails when the name is taken; the temporary name then goes in the destructor.
        committed_ = ::link(temp_.c_str(), target_.c_str()) == 0;
        if (committed_)
            ::unlink(temp_.c_str());
        else if (errno != EEXIST)  // a file system without hard links
            committed_ = ::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0;
    }
    // The new name lasts once the folder is on the disk. The new file is in place either
    // way, so a folder that cannot be flushed is no failure of the save.
    if (committed_) SyncFolder(FolderOf(target_));
    return committed_;
}

bool PendingFile::Commit() { return Finish() && Place(true); }

bool PendingFile::CommitIfAbsent() { return Finish() && Place(false); }

}  // namespace sonvira
