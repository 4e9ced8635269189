#pragma once
// A capture device for tests: the test hands in the frames an input would capture, and
// they reach the ring exactly as the real audio callback passes them on. The recorder
// owns the device object it opens, so the test keeps one FakeCaptureDevice and lets the
// recorder's factory return Share(): every handle drives the same fake input.
//
// Threads: Start and Stop on the window thread; Deliver from any one thread (the test's
// stand-in for the audio thread); the counters from any thread.

#include <memory>
#include <mutex>

#include "CaptureDevice.h"

namespace sonvira {

class FakeCaptureDevice final : public CaptureDevice {
  public:
    FakeCaptureDevice();

    // Another handle on this fake input, for the recorder to own.
    std::unique_ptr<CaptureDevice> Share() const;

    // Starts delivering into `ring`, or returns false (and delivers nothing) when the
    // input was told to fail.
    bool Start(CaptureRing& ring) override;
    // Stops delivering; a Deliver running on another thread has finished when it returns.
    void Stop() override;

    // Hands `frames` interleaved stereo frames to the ring while started; ignored
    // otherwise.
    void Deliver(const int16_t* interleaved, int32_t frames);

    // Reports that the input lost frames (its own buffer overflowed), as the real input's
    // callback does; ignored while not started.
    void ReportOverflow();
    // Makes every later Start fail, as an input that cannot be opened.
    void FailStart(bool fail);
    int Starts() const;  // successful Starts
    int Stops() const;
    bool Running() const;

  private:
    struct Input {
        mutable std::mutex lock;  // Stop waits for a Deliver in progress
        CaptureRing* ring = nullptr;
        bool failStart = false;
        int starts = 0;
        int stops = 0;
    };
    explicit FakeCaptureDevice(std::shared_ptr<Input> input);

    std::shared_ptr<Input> input_;
};

}  // namespace sonvira
