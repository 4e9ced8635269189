#include "CdSystemCalls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace sonvira {

std::vector<std::string> LinuxCdSystemCalls::ListDirectory(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

int LinuxCdSystemCalls::Open(const std::string& path, int flags) {
    int fd;
    do fd = open(path.c_str(), flags);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int LinuxCdSystemCalls::Close(int fd) { return close(fd); }

int LinuxCdSystemCalls::Ioctl(int fd, unsigned long request, void* argument) {
    int result;
    do result = ioctl(fd, request, argument);
    while (result < 0 && errno == EINTR);
    return result;
}

}  // namespace sonvira
