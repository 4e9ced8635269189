#pragma once
// The command descriptor blocks the CD import sends, and the sizes and time-outs that go
// with them. Audio sectors are CD-DA frames: 2352 bytes, 588 stereo frames of two signed
// 16-bit little-endian samples; 75 sectors make a second.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace sonvira {

inline constexpr std::size_t kSectorBytes = 2352;
inline constexpr uint32_t kSectorsPerSecond = 75;
inline constexpr uint32_t kSectorsPerRead = 10;  // one READ CD: 23520 bytes, 0.13 s of sound
inline constexpr std::size_t kInquiryBytes = 255;
inline constexpr std::size_t kTocBytes = 2048;
inline constexpr std::chrono::seconds kShortCommandTimeout{2};  // INQUIRY, READ TOC
inline constexpr std::chrono::seconds kReadTimeout{200};        // READ CD (spin-up included)

// INQUIRY with 255 bytes to read; the product identification is at bytes 16 … 31.
constexpr std::array<uint8_t, 6> InquiryCdb() { return {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00}; }

// READ TOC/PMA/ATIP, format 0 (TOC), addresses as logical block addresses, from the first
// track, allocation length 2048.
constexpr std::array<uint8_t, 10> ReadTocCdb() {
    return {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00};
}

// READ CD of `sectors` sectors from `lba`: any sector type, user data only, no sub-channel.
constexpr std::array<uint8_t, 12> ReadCdCdb(uint32_t lba, uint8_t sectors) {
    return {0xBE,
            0x00,
            static_cast<uint8_t>(lba >> 24),
            static_cast<uint8_t>(lba >> 16),
            static_cast<uint8_t>(lba >> 8),
            static_cast<uint8_t>(lba),
            0x00,
            0x00,
            sectors,
            0x10,
            0x00,
            0x00};
}

}  // namespace sonvira
