#include "FileProblem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

namespace sonvira {
namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool MayAccess(const std::string& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

FileProblem FolderProblem(const std::string& folder, uint64_t bytesNeeded) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return errno == EACCES ? FileProblem::FolderNotWritable : FileProblem::FolderMissing;
    if (!S_ISDIR(st.st_mode)) return FileProblem::FolderMissing;
    if (!MayAccess(folder, W_OK | X_OK))
        return errno == EROFS ? FileProblem::ReadOnlyDisk : FileProblem::FolderNotWritable;
    struct statvfs space {};
    if (::statvfs(folder.c_str(), &space) == 0) {
        if (space.f_flag & ST_RDONLY) return FileProblem::ReadOnlyDisk;
        if (uint64_t(space.f_bavail) * space.f_frsize < bytesNeeded) return FileProblem::DiskFull;
    }
    return FileProblem::Unknown;
}

}  // namespace

FileProblem WhyNotReadable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == EACCES) return FileProblem::NoReadPermission;
        return errno == ENOENT ? FileProblem::FileMissing : FileProblem::Unknown;
    }
    if (!S_ISREG(st.st_mode)) return FileProblem::NotAFile;
    if (!MayAccess(path, R_OK)) return FileProblem::NoReadPermission;
    if (st.st_size == 0) return FileProblem::Empty;
    return FileProblem::Unknown;
}

FileProblem WhyNotWritten(const std::string& path, uint64_t bytesNeeded) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return FileProblem::NotAFile;
        if (!MayAccess(path, W_OK))
            return errno == EROFS ? FileProblem::ReadOnlyDisk : FileProblem::FileWriteProtected;
    }
    return FolderProblem(FolderOf(path), bytesNeeded);
}

const char* FileProblemText(FileProblem problem) {
    switch (problem) {
        case FileProblem::Unknown: return "";
        case FileProblem::FileMissing: return "Die Datei gibt es nicht (mehr).";
        case FileProblem::FolderMissing: return "Den Ordner gibt es nicht.";
        case FileProblem::NotAFile: return "Das ist keine Datei, sondern ein Ordner oder ein Gerät.";
        case FileProblem::NoReadPermission: return "Sie dürfen diese Datei nicht lesen.";
        case FileProblem::Empty: return "Die Datei ist leer.";
        case FileProblem::FileWriteProtected: return "Die vorhandene Datei ist schreibgeschützt.";
        case FileProblem::FolderNotWritable: return "Sie dürfen in diesem Ordner keine Dateien anlegen.";
        case FileProblem::ReadOnlyDisk: return "Der Datenträger ist schreibgeschützt.";
        case FileProblem::DiskFull: return "Auf dem Datenträger ist nicht genug Platz frei.";
    }
    return "";
}

}  // namespace sonvira
