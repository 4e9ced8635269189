#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "WavFile.h"

namespace sonvira {
namespace {

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// The permissions a new file gets from the umask, or those of the file being replaced.
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void MakeWavHeader(uint8_t h[44], bool stereo, bool is16Bit, int32_t rate, uint32_t dataSize) {
    const uint16_t channels = stereo ? 2 : 1;
    const uint16_t bytesPerSample = is16Bit ? 2 : 1;
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + dataSize + (dataSize & 1));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, channels);
    Put32(h + 24, static_cast<uint32_t>(rate));
    Put32(h + 28, static_cast<uint32_t>(rate) * channels * bytesPerSample);
    Put16(h + 32, static_cast<uint16_t>(channels * bytesPerSample));
    Put16(h + 34, static_cast<uint16_t>(bytesPerSample * 8));
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataSize);
}

bool WriteWav(const std::string& path, const uint8_t* block, bool stereo, bool is16Bit,
              int32_t rate, int32_t size) {
    if (size < 0 || (size > 0 && !block)) return false;
    const auto dataSize = static_cast<uint32_t>(size);
    uint8_t header[44];
    MakeWavHeader(header, stereo, is16Bit, rate, dataSize);

    std::string tmp = path + ".XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    tmp.assign(name.data());

    const uint8_t pad = 0;
    bool ok = WriteAll(fd, header, sizeof header) && WriteAll(fd, block, dataSize) &&
              ((dataSize & 1) == 0 || WriteAll(fd, &pad, 1)) && ::fchmod(fd, ModeFor(path)) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

}  // namespace sonvira
