#pragma once
// The system calls behind the SG_IO transport and drive discovery, behind one seam so that
// tests can play a drive (and its failures) without hardware. One thread at a time.

#include <string>
#include <vector>

namespace sonvira {

class CdSystemCalls {
  public:
    virtual ~CdSystemCalls() = default;
    // The entry names of directory `path` ("." and ".." left out), in no particular order;
    // empty when it cannot be read.
    virtual std::vector<std::string> ListDirectory(const std::string& path) = 0;
    // As open(2), close(2) and ioctl(2): -1 with errno set on failure.
    virtual int Open(const std::string& path, int flags) = 0;
    virtual int Close(int fd) = 0;
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
};

// The real calls.
class LinuxCdSystemCalls : public CdSystemCalls {
  public:
    std::vector<std::string> ListDirectory(const std::string& path) override;
    int Open(const std::string& path, int flags) override;
    int Close(int fd) override;
    int Ioctl(int fd, unsigned long request, void* argument) override;
};

}  // namespace sonvira
