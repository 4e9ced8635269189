#include "TrackTable.h"

#include <algorithm>

namespace sonvira {
namespace {

constexpr std::size_t kLengthFieldBytes = 2;
constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kDescriptorBytes = 8;
constexpr std::size_t kControlOffset = 1;
constexpr std::size_t kAddressOffset = 4;
constexpr uint8_t kControlMask = 0x0F;  // ADR sits in the high nibble

uint32_t BigEndian32(std::span<const uint8_t> bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 |
           uint32_t{bytes[3]};
}

// The part of `toc` that is the answer: what came, cut to what the length field names.
std::span<const uint8_t> Answer(std::span<const uint8_t> toc) {
    if (toc.size() < kLengthFieldBytes) return {};
    const std::size_t length = kLengthFieldBytes + (std::size_t{toc[0]} << 8 | toc[1]);
    return toc.first(std::min(toc.size(), length));
}

}  // namespace

void ReadTrackStarts(std::span<const uint8_t> toc, TrackTable& table) {
    table.TrackCount = 0;
    toc = Answer(toc);
    if (toc.size() < kHeaderBytes) return;
    const int first = toc[2];
    const int last = toc[3];
    if (last < first - 1) return;
    // Tracks and the lead-out, limited by the slots and by whole descriptors present.
    const std::size_t inToc = (toc.size() - kHeaderBytes) / kDescriptorBytes;
    const std::size_t wanted = static_cast<std::size_t>(last - first + 2);
    const std::size_t descriptors = std::min({wanted, std::size_t{TrackTable::kSlots}, inToc});
    for (std::size_t i = 0; i < descriptors; ++i) {
        const std::span<const uint8_t> d = toc.subspan(kHeaderBytes + i * kDescriptorBytes);
        table.TrackStart[i + 1] = BigEndian32(d.subspan(kAddressOffset, 4));
        table.Control[i + 1] = d[kControlOffset] & kControlMask;
    }
    table.TrackCount = descriptors > 0 ? static_cast<uint32_t>(descriptors - 1) : 0;
}

}  // namespace sonvira
