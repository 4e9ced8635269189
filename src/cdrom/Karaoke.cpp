#include "Karaoke.h"

namespace sonvira {
namespace {

int32_t Sample(const uint8_t* at) {
    return static_cast<int16_t>(static_cast<uint16_t>(at[0] | at[1] << 8));
}

void Store(uint8_t* at, int32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

void KaraokeStep(std::span<uint8_t> block) {
    constexpr std::size_t kFrameBytes = 4;
    for (std::size_t at = 0; at + kFrameBytes <= block.size(); at += kFrameBytes) {
        uint8_t* frame = block.data() + at;
        const int32_t difference = Sample(frame) - Sample(frame + 2);
        const int32_t value = 2 * difference / 3;
        Store(frame, value);
        Store(frame + 2, value);
    }
}

}  // namespace sonvira
