#pragma once
// The real SoundDecoder: FFmpeg's libavformat reads the container, libavcodec decodes the
// first audio stream, libswresample mixes more than two channels down to stereo and
// converts the sample format; sources of more than 16 bits are reduced with TpdfDither.
// Only local files and the demuxers of the sound formats the Open command promises are
// allowed, so a hostile file cannot make FFmpeg fetch URLs or read other files
// (playlists, concat scripts).

#include <memory>

#include "SoundDecoder.h"

namespace sonvira {

std::unique_ptr<SoundDecoder> MakeFfmpegDecoder();

}  // namespace sonvira
