#include "SgIoTransport.h"

#include <fcntl.h>
#include <scsi/sg.h>

#include <algorithm>
#include <array>

namespace sonvira {
namespace {

class SgIoDrive : public CdDrive {
  public:
    SgIoDrive(CdSystemCalls& calls, int fd) : calls_(calls), fd_(fd) {}
    ~SgIoDrive() override { calls_.Close(fd_); }
    SgIoDrive(const SgIoDrive&) = delete;
    SgIoDrive& operator=(const SgIoDrive&) = delete;

    CdCommandResult SendCdCommand(std::span<const uint8_t> cdb, std::span<uint8_t> data,
                                  std::chrono::seconds timeout) override {
        CdCommandResult result;
        std::array<uint8_t, 16> command{};
        if (cdb.empty() || cdb.size() > command.size()) return result;
        std::copy(cdb.begin(), cdb.end(), command.begin());

        sg_io_hdr_t header{};
        header.interface_id = 'S';
        header.dxfer_direction = SG_DXFER_FROM_DEV;
        header.cmd_len = static_cast<unsigned char>(cdb.size());
        header.mx_sb_len = static_cast<unsigned char>(result.Sense.size());
        header.dxfer_len = static_cast<unsigned int>(data.size());
        header.dxferp = data.data();
        header.cmdp = command.data();
        header.sbp = result.Sense.data();
        header.timeout = static_cast<unsigned int>(timeout.count() * 1000);  // milliseconds

        if (calls_.Ioctl(fd_, SG_IO, &header) < 0) return result;
        result.Status = header.status;
        // Good only when the drive, the host adapter and the driver all report success.
        result.Completed = (header.info & SG_INFO_OK_MASK) == SG_INFO_OK;
        const int resid = header.resid < 0 ? 0 : header.resid;
        result.Received = data.size() - std::min<std::size_t>(data.size(), std::size_t(resid));
        return result;
    }

  private:
    CdSystemCalls& calls_;
    int fd_;
};

}  // namespace

std::unique_ptr<CdDrive> SgIoTransport::OpenDrive(const std::string& devicePath) {
    const int fd = calls_.Open(devicePath, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<SgIoDrive>(calls_, fd);
}

}  // namespace sonvira
