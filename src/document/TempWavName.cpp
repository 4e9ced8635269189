#include <sys/stat.h>

#include "WavFile.h"

namespace sonvira {

std::string TempWavName(std::string dir, const std::string& prefix, const std::string& extension) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    for (unsigned long number = 0;; ++number) {
        std::string name = dir + prefix + std::to_string(number) + extension;
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) return name;
    }
}

}  // namespace sonvira
