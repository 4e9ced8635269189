#pragma once
// The one sound the program holds: a raw PCM block with its sample format and the
// selection. Owned by the main window. Editing commands run on a job's worker over a
// document the sound has been lent to (MoveSoundTo), with playback stopped; one thread
// at a time works on a document. The playback thread reads the block and the format
// while a sound plays, so commands that replace or shorten the block stop playback
// first; an effect that rewrites samples in place while a sound plays holds
// `SampleLock` for each chunk it writes, as the renderer does for each block it reads;
// `SampleRate` is atomic because the rate steps may change it while a sound plays.

#include <atomic>
#include <cstdint>
#include <mutex>

namespace sonvira {

// Frames lo … hi that a range command works on (see SelectionFrameRange).
struct FrameRange {
    int32_t lo = 0;
    int32_t hi = 0;
};

class AudioDocument {
public:
    AudioDocument() = default;
    AudioDocument(const AudioDocument&) = delete;
    AudioDocument& operator=(const AudioDocument&) = delete;
    ~AudioDocument();

    // The PCM block: 8-bit unsigned (128 = zero line) or 16-bit signed little-endian,
    // stereo interleaved left then right. Allocated with std::malloc/calloc; owned here.
    uint8_t* SampleData = nullptr;
    int32_t DataSize = 0;   // bytes in SampleData
    int32_t SelEnd = 0;     // sample position where the selecting drag is or ended
    int32_t SelAnchor = 0;  // sample position where the selecting drag began
    std::atomic<int32_t> SampleRate{0};  // frames per second
    bool IsStereo = false;
    bool Is16Bit = false;
    // Shared by the renderer (one block at a time, stream thread) and the in-place
    // effects (one chunk at a time, the thread that runs them), so no sample is read while it is
    // written. Held only briefly: an effect never keeps it for a whole long sound.
    mutable std::mutex SampleLock;

    int32_t Channels() const { return IsStereo ? 2 : 1; }
    int32_t BytesPerSample() const { return Is16Bit ? 2 : 1; }
    int32_t BytesPerFrame() const { return Channels() * BytesPerSample(); }
    int32_t BytesPerSecond() const { return SampleRate.load() * BytesPerFrame(); }
    // Sample positions count single channel values.
    int32_t SampleCount() const { return DataSize / BytesPerSample(); }
    // DataSize halved once for 16 bits and once more for stereo, each time dropping a remainder.
    int32_t FrameCount() const;
    // The frame a sample position lies in (halved, truncating, for stereo).
    int32_t FrameOfSamplePosition(int32_t position) const { return IsStereo ? position / 2 : position; }

    // The frames a range command works on: the whole sound when nothing is selected,
    // else the selection converted to frames and limited to the frame count.
    FrameRange SelectionFrameRange() const;

    // Releases the old block and takes ownership of `block` (malloc'ed, `size` bytes) with
    // its format; the selection returns to 0. The caller redraws and re-zooms the view.
    void InstallBlock(uint8_t* block, int32_t size, int32_t rate, bool stereo, bool is16Bit);
    // Same, keeping the format (crop, cut, crossfade).
    void InstallBlock(uint8_t* block, int32_t size);
    // Frees the block and leaves an empty document with its format unchanged.
    void ReleaseBlock();
    // Hands the block, its format and the selection over to `to`, whose own block is
    // freed; this document keeps its format and selection but no block. Lends the sound
    // to work on another thread and takes it back afterwards.
    void MoveSoundTo(AudioDocument& to);
};

}  // namespace sonvira
