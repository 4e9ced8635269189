#pragma once
// What the CD import needs of the machine: the system calls that find the drives and the
// transport that sends them commands. The transport may use the calls, so it goes first.

#include <memory>

#include "CdSystemCalls.h"
#include "CdTransport.h"

namespace sonvira {

struct CdAccess {
    std::unique_ptr<CdSystemCalls> Calls;
    std::unique_ptr<CdTransport> Transport;  // declared last: destroyed before Calls

    ~CdAccess() { Transport.reset(); }
    CdAccess() = default;
    CdAccess(CdAccess&&) = default;
    CdAccess& operator=(CdAccess&&) = default;
};

// The machine's drives through Linux SCSI pass-through (SG_IO).
CdAccess LinuxCdAccess();

}  // namespace sonvira
