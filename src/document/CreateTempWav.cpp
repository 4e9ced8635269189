#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "WavFile.h"

namespace sonvira {

std::string CreateTempWav(std::string dir, const std::string& prefix,
                          const std::string& extension) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    // O_EXCL makes the check for a free name and the creation one step, so a second copy
    // or a planted link can never be taken for our file.
    for (unsigned long number = 0;; ++number) {
        std::string name = dir + prefix + std::to_string(number) + extension;
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) return {};
    }
}

std::FILE* OpenTempForWriting(const std::string& path) {
    // Never through a link, and readable by this user only while it holds a decoded sound.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) ::close(fd);
    return file;
}

}  // namespace sonvira
