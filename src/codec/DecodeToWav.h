#pragma once
// Writes what a SoundDecoder delivers into a 16-bit PCM WAV file, refusing sounds that
// the document could not hold.

#include <atomic>
#include <cstdint>
#include <string>

#include "ConvertMP3WAV.h"
#include "SoundDecoder.h"

namespace sonvira {

// The largest sound the document holds: its size field is a signed 32-bit byte count.
inline constexpr int64_t kMaxSoundBytes = INT32_MAX;

enum class DecodeResult {
    Written,       // `target` holds the sound (possibly cut short by a stop request)
    Undecodable,   // the source cannot be opened or decoded: message 10
    TooLarge,      // the decoded sound would pass `maxBytes`
    CannotCreate,  // the target cannot be created or written: message 9
};

// Opens `source` with `decoder` and writes its sound to the WAV file `target`. A sound whose
// stated length gives more than `maxBytes` bytes is refused before decoding; one of unknown
// length is refused once it passes `maxBytes`. Clears `stopRequested` first and stops after
// the current block once it is set again (from hooks.processEvents, e.g. the window
// closing): the target then holds what was decoded, with a correct header. Reports
// progress 0 … 100 through the hooks. On anything but Written the target may hold a partial
// file: the caller deletes it. The target is written as OpenTempForWriting does (this user
// only, never through a link). Window thread. Memory: one decoded block at a time.
DecodeResult DecodeToWav(SoundDecoder& decoder, const std::string& source,
                         const std::string& target, std::atomic<bool>& stopRequested,
                         const Mp3ImportHooks& hooks, int64_t maxBytes = kMaxSoundBytes);

}  // namespace sonvira
