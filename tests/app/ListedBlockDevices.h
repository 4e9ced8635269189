#pragma once
// The machine as the CD drive search sees it: the CD block devices listed, no generic SCSI
// device, nothing that opens.

#include <string>
#include <utility>
#include <vector>

#include "CdSystemCalls.h"

namespace sonvira::test {

class ListedBlockDevices final : public CdSystemCalls {
public:
    explicit ListedBlockDevices(std::vector<std::string> names) : names_(std::move(names)) {}
    std::vector<std::string> ListDirectory(const std::string& path) override {
        return path == "/sys/class/block" ? names_ : std::vector<std::string>{};
    }
    int Open(const std::string&, int) override { return -1; }
    int Close(int) override { return 0; }
    int Ioctl(int, unsigned long, void*) override { return -1; }

private:
    std::vector<std::string> names_;
};

}  // namespace sonvira::test
