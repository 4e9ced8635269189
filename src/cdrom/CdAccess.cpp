#include "CdAccess.h"

#include "SgIoTransport.h"

namespace sonvira {

CdAccess LinuxCdAccess() {
    CdAccess access;
    access.Calls = std::make_unique<LinuxCdSystemCalls>();
    access.Transport = std::make_unique<SgIoTransport>(*access.Calls);
    return access;
}

}  // namespace sonvira
