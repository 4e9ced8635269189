#include "RingOutputDevice.h"

namespace sonvira {

int32_t RingOutputDevice::GetCurrentPosition() const { return buffer_.Cursor(); }

DeviceBuffer& RingOutputDevice::Lock() {
    writer_.lock();
    locks_.fetch_add(1, std::memory_order_relaxed);
    return buffer_;
}

void RingOutputDevice::Unlock() {
    buffer_.Publish();
    writer_.unlock();
}

}  // namespace sonvira
