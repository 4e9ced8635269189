#pragma once
// The 129-byte audio format record the codec converter works with: a packed
// WAVEFORMATEX header (18 bytes, little-endian) followed by 111 bytes of room for a
// format's extra data (for MP3 the MPEGLAYER3WAVEFORMAT tail). Plain value type.

#include <array>
#include <cstddef>
#include <cstdint>

namespace sonvira {

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 85;
inline constexpr size_t kFormatRecordSize = 129;
inline constexpr size_t kWaveFormatExSize = 18;

struct WaveFormatEx {
    uint16_t wFormatTag = WAVE_FORMAT_PCM;
    uint16_t nChannels = 1;
    uint32_t nSamplesPerSec = 22050;
    uint32_t nAvgBytesPerSec = 22050;
    uint16_t nBlockAlign = 1;
    uint16_t wBitsPerSample = 8;
    uint16_t cbSize = 129;

    // Reads the first min(n, 18) bytes of a packed little-endian record over the current
    // values (a short record changes only the fields it holds).
    void Load(const uint8_t* bytes, size_t n);
    // The packed 18-byte little-endian form.
    std::array<uint8_t, kWaveFormatExSize> Bytes() const;

    bool operator==(const WaveFormatEx&) const = default;
};

struct FormatRecord {
    WaveFormatEx wfx;
    std::array<uint8_t, kFormatRecordSize - kWaveFormatExSize> extra{};

    // Builds a record from `n` bytes: shorter input leaves the rest zero, longer input is
    // cut at 129 bytes, so a hostile length can never overrun the record.
    static FormatRecord FromBytes(const uint8_t* bytes, size_t n);
    std::array<uint8_t, kFormatRecordSize> Bytes() const;

    bool operator==(const FormatRecord&) const = default;
};

// The records the main window's converter `mp3wav` starts with: MP3 at 24000 Hz stereo
// 56 kbit/s in, 44100 Hz 16-bit stereo PCM out.
FormatRecord StoredMp3FormatIn();
FormatRecord StoredPcmFormatOut();

}  // namespace sonvira
