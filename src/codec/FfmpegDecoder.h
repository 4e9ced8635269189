#pragma once
// The real SoundDecoder: FFmpeg's libavformat reads the container, libavcodec decodes the
// best audio stream (a video stream is never decoded), libswresample mixes more than two
// channels down to stereo and converts the sample format; sources of more than 16 bits are
// reduced with TpdfDither. Only local files, the demuxers of the formats the Open command
// promises and a list of audio decoders are allowed, so a hostile file cannot make FFmpeg
// fetch URLs, read other files (playlists, concat scripts) or reach any other decoder.

#include <memory>

#include "SoundDecoder.h"

namespace sonvira {

std::unique_ptr<SoundDecoder> MakeFfmpegDecoder();

}  // namespace sonvira
