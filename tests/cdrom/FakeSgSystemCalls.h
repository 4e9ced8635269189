#pragma once
// System calls that play Linux's CD and generic SCSI device nodes for the SG_IO transport
// and drive discovery: SG_IO is answered by a simulated drive, after the header our code
// filled in is recorded as the kernel would see it.

#include <scsi/sg.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CdSystemCalls.h"
#include "SimulatedCdDrive.h"

namespace sonvira::test {

struct FakeNode {
    bool Openable = true;
    std::string Drive;                 // path of the simulated drive answering SG_IO
    std::optional<sg_scsi_id> ScsiId;  // SG_GET_SCSI_ID; nullopt: the ioctl fails
    int SgVersion = 30536;
    bool SgIoFails = false;     // ioctl(SG_IO) itself returns -1 (EIO)
    bool HostTimesOut = false;  // the adapter gives up: host status DID_TIME_OUT

    // A node that may be opened (or not) and whose SG_IO the simulated drive `drive` answers.
    static FakeNode Answering(std::string drive, bool openable = true) {
        FakeNode node;
        node.Openable = openable;
        node.Drive = std::move(drive);
        return node;
    }
};

// The header fields of one SG_IO call.
struct SeenSgIo {
    int InterfaceId;
    int Direction;
    unsigned CdbLength;
    unsigned SenseMax;
    unsigned DataLength;
    unsigned TimeoutMs;
    std::vector<uint8_t> Cdb;
};

class FakeSgSystemCalls : public CdSystemCalls {
  public:
    std::map<std::string, std::vector<std::string>> Directories;
    std::map<std::string, FakeNode> Nodes;
    SimulatedCdTransport Drives;
    std::vector<SeenSgIo> SgIoCalls;
    std::vector<int> OpenFlags;
    std::set<int> OpenFds;

    static sg_scsi_id Id(int host, int target, int type, int lun = 0) {
        sg_scsi_id id{};
        id.host_no = host;
        id.scsi_id = target;
        id.scsi_type = type;
        id.lun = lun;
        return id;
    }

    std::vector<std::string> ListDirectory(const std::string& path) override {
        auto it = Directories.find(path);
        return it == Directories.end() ? std::vector<std::string>{} : it->second;
    }

    int Open(const std::string& path, int flags) override {
        auto it = Nodes.find(path);
        if (it == Nodes.end() || !it->second.Openable) {
            errno = it == Nodes.end() ? ENOENT : EACCES;
            return -1;
        }
        OpenFlags.push_back(flags);
        const int fd = nextFd_++;
        fdPaths_[fd] = path;
        OpenFds.insert(fd);
        return fd;
    }

    int Close(int fd) override { return OpenFds.erase(fd) ? 0 : (errno = EBADF, -1); }

    int Ioctl(int fd, unsigned long request, void* argument) override {
        if (!OpenFds.count(fd)) return errno = EBADF, -1;
        const FakeNode& node = Nodes.at(fdPaths_.at(fd));
        switch (request) {
            case SG_GET_VERSION_NUM:
                *static_cast<int*>(argument) = node.SgVersion;
                return 0;
            case SG_GET_SCSI_ID:
                if (!node.ScsiId) return errno = EINVAL, -1;
                *static_cast<sg_scsi_id*>(argument) = *node.ScsiId;
                return 0;
            case SG_IO:
                return SgIo(node, *static_cast<sg_io_hdr_t*>(argument));
            default:
                return errno = ENOTTY, -1;
        }
    }

  private:
    int SgIo(const FakeNode& node, sg_io_hdr_t& h) {
        const auto* cdb = static_cast<const uint8_t*>(h.cmdp);
        SgIoCalls.push_back({h.interface_id,
                             h.dxfer_direction,
                             h.cmd_len,
                             h.mx_sb_len,
                             h.dxfer_len,
                             h.timeout,
                             {cdb, cdb + h.cmd_len}});
        if (node.SgIoFails) return errno = EIO, -1;
        if (node.HostTimesOut) return TimeOut(h);
        std::unique_ptr<CdDrive> drive = Drives.OpenDrive(node.Drive);
        const CdCommandResult r =
            drive->SendCdCommand({cdb, h.cmd_len}, {static_cast<uint8_t*>(h.dxferp), h.dxfer_len},
                                 std::chrono::seconds(h.timeout / 1000));
        if (!r.Completed && r.Status == 0) return TimeOut(h);  // the drive stayed silent
        h.status = r.Status;
        h.masked_status = static_cast<unsigned char>(r.Status >> 1);
        h.resid = static_cast<int>(h.dxfer_len - r.Received);
        h.info = r.Status == 0 ? SG_INFO_OK : SG_INFO_CHECK;
        if (r.Status != 0) {
            h.driver_status = 0x08;  // DRIVER_SENSE
            h.sb_len_wr = static_cast<unsigned char>(std::min<std::size_t>(h.mx_sb_len, 18));
            std::copy_n(r.Sense.begin(), h.sb_len_wr, static_cast<uint8_t*>(h.sbp));
        }
        return 0;
    }

    static int TimeOut(sg_io_hdr_t& h) {
        h.status = 0;
        h.host_status = 0x03;  // DID_TIME_OUT
        h.info = SG_INFO_CHECK;
        h.resid = static_cast<int>(h.dxfer_len);
        return 0;
    }

    int nextFd_ = 100;
    std::map<int, std::string> fdPaths_;
};

}  // namespace sonvira::test
