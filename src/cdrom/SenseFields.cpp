#include "SenseFields.h"

namespace sonvira {
namespace {

constexpr uint8_t kResponseCodeMask = 0x7F;  // bit 7 is VALID (the information field)
constexpr uint8_t kSenseKeyMask = 0x0F;      // fixed format keeps FILEMARK, EOM, ILI above

uint8_t ByteAt(std::span<const uint8_t> sense, std::size_t at) {
    return at < sense.size() ? sense[at] : 0;
}

}  // namespace

SenseFields ParseSense(std::span<const uint8_t> sense) {
    switch (ByteAt(sense, 0) & kResponseCodeMask) {
        case 0x70:  // current error, fixed format
        case 0x71:  // deferred error, fixed format
            return {static_cast<uint8_t>(ByteAt(sense, 2) & kSenseKeyMask), ByteAt(sense, 12),
                    ByteAt(sense, 13)};
        case 0x72:  // current error, descriptor format
        case 0x73:  // deferred error, descriptor format
            return {static_cast<uint8_t>(ByteAt(sense, 1) & kSenseKeyMask), ByteAt(sense, 2),
                    ByteAt(sense, 3)};
        default:
            return {};
    }
}

}  // namespace sonvira
