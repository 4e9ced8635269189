#pragma once
// The one way the CD import talks to a drive: open it, send commands with a data-in phase,
// close it. Real: SgIoTransport (Linux SG_IO). Tests: SimulatedCdTransport. Used on one
// thread at a time; a command blocks the caller until the drive answers or times out.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace sonvira {

struct CdCommandResult {
    bool Completed = false;  // delivered, and the drive answered with status GOOD (0)
    uint8_t Status = 0;      // the SCSI status byte (2: CHECK CONDITION, sense data valid)
    // Sense data as returned, fixed or descriptor format (ParseSense reads either).
    std::array<uint8_t, 24> Sense{};
    std::size_t Received = 0;  // bytes of data the drive delivered
};

// An open drive; closed when destroyed.
class CdDrive {
  public:
    virtual ~CdDrive() = default;
    // Sends `cdb` (6, 10 or 12 bytes) and reads at most data.size() bytes into `data`.
    // The drive gets `timeout` to answer; a transport failure reads as not completed.
    virtual CdCommandResult SendCdCommand(std::span<const uint8_t> cdb, std::span<uint8_t> data,
                                          std::chrono::seconds timeout) = 0;
};

class CdTransport {
  public:
    virtual ~CdTransport() = default;
    // Opens the drive at `devicePath` (/dev/sr0, /dev/sg1, ...) for commands; null when it
    // cannot be opened (missing, no access rights).
    virtual std::unique_ptr<CdDrive> OpenDrive(const std::string& devicePath) = 0;
};

}  // namespace sonvira
