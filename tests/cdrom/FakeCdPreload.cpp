// Loaded with LD_PRELOAD into a program that uses the real SG_IO transport: plays a CD drive
// at /dev/sr0 for open, close, ioctl (SG_IO, SG_GET_SCSI_ID, SG_GET_VERSION_NUM) and lists
// a folder of ours in place of /sys/class/block. Everything else goes to the C library.
//
// Environment:
//   SONVIRA_FAKE_CD_SYSFS    folder listed for /sys/class/block (holds an entry "sr0")
//   SONVIRA_FAKE_CD_TRACKS   start sectors of the tracks and, last, the lead-out: "0,300,1000"
//   SONVIRA_FAKE_CD_PRODUCT  INQUIRY product identification
//   SONVIRA_FAKE_CD_LOG      file that gets one line per SG_IO call, as the kernel saw it

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>

#include "FakeSgSystemCalls.h"

namespace {

using sonvira::test::FakeNode;
using sonvira::test::FakeSgSystemCalls;

constexpr const char* kDrivePath = "/dev/sr0";

template <class Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

using OpenFunction = int (*)(const char*, int, ...);

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

sonvira::SimulatedDisc DiscFromEnvironment() {
    sonvira::SimulatedDisc disc;
    std::istringstream starts(Environment("SONVIRA_FAKE_CD_TRACKS"));
    for (std::string item; std::getline(starts, item, ',');)
        disc.TrackStarts.push_back(static_cast<uint32_t>(std::stoul(item)));
    if (!disc.TrackStarts.empty()) {
        disc.LeadOut = disc.TrackStarts.back();
        disc.TrackStarts.pop_back();
    }
    if (const std::string product = Environment("SONVIRA_FAKE_CD_PRODUCT"); !product.empty())
        disc.ProductId = product;
    return disc;
}

// The simulated drive and which of the program's descriptors stand for it.
struct FakeDrive {
    std::mutex lock;
    FakeSgSystemCalls calls;
    std::map<int, int> fakeFdOf;  // the program's descriptor → the simulation's

    FakeDrive() {
        calls.Drives.AddDrive(kDrivePath, DiscFromEnvironment());
        calls.Nodes[kDrivePath] = FakeNode::Answering(kDrivePath);
    }
};

FakeDrive& Drive() {
    static FakeDrive* drive = new FakeDrive;  // lives to the end: close may come late
    return *drive;
}

void LogSgIo(const sonvira::test::SeenSgIo& seen) {
    const std::string path = Environment("SONVIRA_FAKE_CD_LOG");
    if (path.empty()) return;
    if (FILE* log = std::fopen(path.c_str(), "a")) {
        std::fprintf(log, "cdb");
        for (uint8_t b : seen.Cdb) std::fprintf(log, " %02X", b);
        std::fprintf(log, " | interface %c direction %d cdb %u sense %u data %u timeout %u\n",
                     seen.InterfaceId, seen.Direction, seen.CdbLength, seen.SenseMax,
                     seen.DataLength, seen.TimeoutMs);
        std::fclose(log);
    }
}

int OpenDrive(int flags) {
    FakeDrive& drive = Drive();
    const int fd = Next<OpenFunction>("open")("/dev/null", O_RDWR | O_CLOEXEC);
    if (fd < 0) return fd;
    std::lock_guard guard(drive.lock);
    drive.fakeFdOf[fd] = drive.calls.Open(kDrivePath, flags);
    return fd;
}

int OpenAny(const char* name, const char* path, int flags, mode_t mode) {
    if (path && std::strcmp(path, kDrivePath) == 0) return OpenDrive(flags);
    return Next<OpenFunction>(name)(path, flags, mode);
}

mode_t ModeArgument(int flags, va_list arguments) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    return OpenAny("open", path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    return OpenAny("open64", path, flags, mode);
}

int close(int fd) {
    FakeDrive& drive = Drive();
    {
        std::lock_guard guard(drive.lock);
        if (auto it = drive.fakeFdOf.find(fd); it != drive.fakeFdOf.end()) {
            drive.calls.Close(it->second);
            drive.fakeFdOf.erase(it);
        }
    }
    return Next<int (*)(int)>("close")(fd);
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    FakeDrive& drive = Drive();
    {
        std::lock_guard guard(drive.lock);
        if (auto it = drive.fakeFdOf.find(fd); it != drive.fakeFdOf.end()) {
            const std::size_t before = drive.calls.SgIoCalls.size();
            const int result = drive.calls.Ioctl(it->second, request, argument);
            if (drive.calls.SgIoCalls.size() > before) LogSgIo(drive.calls.SgIoCalls.back());
            return result;
        }
    }
    return Next<int (*)(int, unsigned long, void*)>("ioctl")(fd, request, argument);
}

DIR* opendir(const char* name) {
    const std::string sysfs = Environment("SONVIRA_FAKE_CD_SYSFS");
    if (!sysfs.empty() && std::strcmp(name, "/sys/class/block") == 0) name = sysfs.c_str();
    return Next<DIR* (*)(const char*)>("opendir")(name);
}

}  // extern "C"
