#include "FakeOutputDevice.h"

namespace sonvira {

void FakeOutputDevice::Play() { Ring().Start(); }

void FakeOutputDevice::Stop() { Ring().Halt(); }

void FakeOutputDevice::SetCursor(int32_t offset) { Ring().Seek(offset); }

void FakeOutputDevice::Consume(int16_t* out, int32_t frames) { Ring().Pull(out, frames); }

bool FakeOutputDevice::IsPlaying() const { return Buffer().Playing(); }

}  // namespace sonvira
