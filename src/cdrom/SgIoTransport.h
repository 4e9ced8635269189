#pragma once
// The real transport: Linux SCSI pass-through, ioctl(SG_IO) on a CD block device (/dev/sr*)
// or a generic SCSI device (/dev/sg*). Each command carries its own time-out; a drive
// that does not answer in time is given up on by the kernel, and the command fails.

#include "CdSystemCalls.h"
#include "CdTransport.h"

namespace sonvira {

class SgIoTransport : public CdTransport {
  public:
    // `calls` must outlive the transport and every drive it opens.
    explicit SgIoTransport(CdSystemCalls& calls) : calls_(calls) {}

    // Opened for reading and writing (pass-through needs both) and without waiting for a
    // medium, so that an empty drive still answers INQUIRY.
    std::unique_ptr<CdDrive> OpenDrive(const std::string& devicePath) override;

  private:
    CdSystemCalls& calls_;
};

}  // namespace sonvira
