#pragma once
// Recording from the sound card into one growing block of 44100 Hz 16-bit stereo PCM,
// without a window. Start capture opens the input and starts the worker, which appends
// every whole captured block to the recording; stop capture asks the worker to end
// first (it still takes the whole blocks already delivered), then stops the input, so
// a recording ends on a whole block. After the stop the window takes the recording over
// as its document.
//
// Threads: StartCapture, StopCapture and TakeRecording on the window thread; the worker
// is the only writer of the recording while capturing; RecordedSize and LimitReached
// may be read from any thread at any time.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "CaptureDevice.h"
#include "CaptureRing.h"
#include "RecordingBuffer.h"

namespace sonvira {

class Recorder {
public:
    static constexpr int32_t kBlockBytes = CaptureRing::kBlockBytes;
    // The largest recording: the whole blocks that fit into a document (2^31 − 1 bytes).
    static constexpr int64_t kMaxBytes = (int64_t{0x7FFFFFFF} / kBlockBytes) * kBlockBytes;

    // `openDevice` makes the capture device for each recording (the real PortAudio input,
    // or a fake in tests); it may return null when there is no input. `maxBytes` bounds
    // a recording (tests use a small one); it keeps the whole blocks that fit.
    explicit Recorder(std::function<std::unique_ptr<CaptureDevice>()> openDevice,
                      int64_t maxBytes = kMaxBytes);
    // Stops a capture that still runs.
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Asks the current recording run to end; written by the window's STOP, the Open
    // command and closing the window.
    std::atomic<bool> RecordStopRequested{false};

    // Forgets an earlier recording, starts the worker and opens the input. An input that
    // cannot be opened records nothing (DeviceOpen() stays false; the window tells the
    // user and ends the recording).
    void StartCapture();
    // Ends the capture: worker asked to end, input stopped, worker joined. Safe when not
    // capturing.
    void StopCapture();
    bool Capturing() const { return worker_.joinable(); }
    // Whether the input is open: from a StartCapture that could open it to StopCapture.
    // Window thread.
    bool DeviceOpen() const { return device_ != nullptr; }

    // Bytes recorded so far, a whole number of blocks.
    int64_t RecordedSize() const { return recording_.Size(); }
    // Set when a block no longer fitted into a document; later blocks are dropped.
    bool LimitReached() const { return limitReached_.load(); }
    // Set when memory ran out; the recording keeps what it had, later blocks are dropped.
    bool MemoryExhausted() const { return recording_.GrowthFailed(); }
    // Whole blocks the input delivered while the worker lagged about 3 s behind, lost.
    int64_t DroppedBlocks() const { return ring_.Dropped(); }
    // Whether parts of the sound were lost: blocks dropped, or an overflow the input
    // reported. Any thread; for the message after the recording.
    bool PartsLost() const { return ring_.Dropped() > 0 || ring_.InputOverflowed(); }

    // After StopCapture: the recording as a std::malloc'ed block of `size` bytes (null and
    // 0 when nothing was recorded). The caller owns it; the recorder forgets it.
    struct Recording {
        uint8_t* block = nullptr;
        int32_t size = 0;
    };
    Recording TakeRecording();

private:
    void Work();
    void Append(const uint8_t* block);

    std::function<std::unique_ptr<CaptureDevice>()> openDevice_;
    int64_t maxBytes_;
    std::unique_ptr<CaptureDevice> device_;
    CaptureRing ring_;
    RecordingBuffer recording_;
    std::atomic<bool> workerStop_{false};
    std::atomic<bool> limitReached_{false};
    std::thread worker_;
};

}  // namespace sonvira
