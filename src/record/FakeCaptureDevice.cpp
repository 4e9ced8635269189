#include "FakeCaptureDevice.h"

#include <utility>

namespace sonvira {

FakeCaptureDevice::FakeCaptureDevice() : input_(std::make_shared<Input>()) {}

FakeCaptureDevice::FakeCaptureDevice(std::shared_ptr<Input> input) : input_(std::move(input)) {}

std::unique_ptr<CaptureDevice> FakeCaptureDevice::Share() const {
    return std::unique_ptr<CaptureDevice>(new FakeCaptureDevice(input_));
}

bool FakeCaptureDevice::Start(CaptureRing& ring) {
    const std::lock_guard guard(input_->lock);
    if (input_->failStart) return false;
    input_->ring = &ring;
    ++input_->starts;
    return true;
}

void FakeCaptureDevice::Stop() {
    const std::lock_guard guard(input_->lock);
    if (input_->ring == nullptr) return;
    input_->ring = nullptr;
    ++input_->stops;
}

void FakeCaptureDevice::Deliver(const int16_t* interleaved, int32_t frames) {
    const std::lock_guard guard(input_->lock);
    if (input_->ring != nullptr) input_->ring->Write(interleaved, frames);
}

void FakeCaptureDevice::ReportOverflow() {
    const std::lock_guard guard(input_->lock);
    if (input_->ring != nullptr) input_->ring->NoteInputOverflow();
}

void FakeCaptureDevice::FailStart(bool fail) {
    const std::lock_guard guard(input_->lock);
    input_->failStart = fail;
}

int FakeCaptureDevice::Starts() const {
    const std::lock_guard guard(input_->lock);
    return input_->starts;
}

int FakeCaptureDevice::Stops() const {
    const std::lock_guard guard(input_->lock);
    return input_->stops;
}

bool FakeCaptureDevice::Running() const {
    const std::lock_guard guard(input_->lock);
    return input_->ring != nullptr;
}

}  // namespace sonvira
