#pragma once
// Why a file could not be read or written, found out afterwards by asking the file
// system, so that a refusal can say more than "could not open": the message boxes add
// the reason as a line of their own. The checks are the kernel's own for this user
// (ACLs and read-only mounts included). Any thread.

#include <cstdint>
#include <string>

namespace sonvira {

enum class FileProblem {
    Unknown,             // nothing the file system shows: the content, or a passing fault
    FileMissing,
    FolderMissing,
    NotAFile,            // a folder, a device, a pipe
    NoReadPermission,
    Empty,
    FileWriteProtected,  // an existing target this user may not write
    FolderNotWritable,
    ReadOnlyDisk,
    DiskFull,            // less free space than the file needs
};

// Why `path` could not be read.
FileProblem WhyNotReadable(const std::string& path);

// Why `path` could not be written with `bytesNeeded` bytes (a new file beside it, renamed
// over it, as saving does).
FileProblem WhyNotWritten(const std::string& path, uint64_t bytesNeeded);

// The reason as one German sentence for the message box (translated there); "" for Unknown.
const char* FileProblemText(FileProblem problem);

}  // namespace sonvira
