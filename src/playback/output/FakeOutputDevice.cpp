#include "FakeOutputDevice.h"

namespace sonvira {

int32_t FakeOutputDevice::GetCurrentPosition() const { return buffer_.Cursor(); }

DeviceBuffer& FakeOutputDevice::Lock() {
    writer_.lock();
    ++locks_;
    return buffer_;
}

void FakeOutputDevice::Unlock() {
    buffer_.Publish();
    writer_.unlock();
}

void FakeOutputDevice::Play() { buffer_.Start(); }

void FakeOutputDevice::Stop() { buffer_.Halt(); }

void FakeOutputDevice::SetCursor(int32_t offset) { buffer_.Seek(offset); }

void FakeOutputDevice::Consume(int16_t* out, int32_t frames) { buffer_.Pull(out, frames); }

bool FakeOutputDevice::IsPlaying() const { return buffer_.Playing(); }

int FakeOutputDevice::LockCount() const { return locks_.load(); }

}  // namespace sonvira
