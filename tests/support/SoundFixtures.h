#pragma once
// Sound files in the formats FFmpeg decodes for the Open command, made by the `ffmpeg`
// command from a 440 Hz sine at half of full scale, with a time limit on the tool.

#include <chrono>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TempDir.h"

namespace sonvira::test {

inline bool RunTool(std::vector<std::string> args) {
    const pid_t pid = Spawn(args);
    return pid > 0 && WaitFor(pid, std::chrono::seconds(60)) == 0;
}

inline bool HaveFfmpeg() { return RunTool({"sh", "-c", "command -v ffmpeg >/dev/null"}); }

// Whether this machine's ffmpeg has the encoder `name` (Debian's lacks some, e.g. AMR's).
inline bool HaveFfmpegEncoder(const std::string& name) {
    return RunTool({"sh", "-c", "ffmpeg -hide_banner -encoders 2>/dev/null | grep -q ' " + name + " '"});
}

// Writes `dir/name`: a 440 Hz tone of `seconds` at `rate` Hz, mono before `filter` (an
// ffmpeg audio filter chain, e.g. "pan=stereo|c0=c0|c1=c0"), encoded with `codecArgs`.
// The path, or "" when ffmpeg failed.
inline std::string FfmpegTone(const TempDir& dir, const std::string& name, int rate, double seconds,
                              const std::string& filter, const std::vector<std::string>& codecArgs) {
    const std::string path = dir.file(name);
    std::vector<std::string> args = {
        "ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
        "sine=frequency=440:sample_rate=" + std::to_string(rate) + ":duration=" + std::to_string(seconds),
        "-af", "volume=4" + (filter.empty() ? "" : "," + filter)};
    args.insert(args.end(), codecArgs.begin(), codecArgs.end());
    args.push_back(path);
    return RunTool(args) ? path : "";
}

// Writes `dir/name`: a film whose first stream is a small moving test picture and whose
// second is the tone of FfmpegTone, both `seconds` long; `codecArgs` name both codecs.
inline std::string FfmpegFilm(const TempDir& dir, const std::string& name, int rate, double seconds,
                              const std::string& filter, const std::vector<std::string>& codecArgs) {
    const std::string path = dir.file(name);
    const std::string duration = ":duration=" + std::to_string(seconds);
    std::vector<std::string> args = {
        "ffmpeg", "-nostdin", "-v", "error", "-y",
        "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10" + duration,
        "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=" + std::to_string(rate) + duration,
        "-map", "0:v", "-map", "1:a", "-af", "volume=4" + (filter.empty() ? "" : "," + filter)};
    args.insert(args.end(), codecArgs.begin(), codecArgs.end());
    args.push_back(path);
    return RunTool(args) ? path : "";
}

// Encodes an existing file into `dir/name` with `codecArgs`; "" when ffmpeg failed.
inline std::string FfmpegConvert(const TempDir& dir, const std::string& source, const std::string& name,
                                 const std::vector<std::string>& codecArgs) {
    const std::string path = dir.file(name);
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", source};
    args.insert(args.end(), codecArgs.begin(), codecArgs.end());
    args.push_back(path);
    return RunTool(args) ? path : "";
}

// Writes `dir/name`: the FLAC file `flac` with its STREAMINFO total sample count set to
// 2^36 − 1 frames (far beyond what the document holds). That count is the low 36 bits of
// the 8 bytes after "fLaC", the block header and 10 bytes of block and frame sizes.
// The path, or "" when `flac` is too short.
inline std::string FlacClaimingEndlessLength(const TempDir& dir, const std::string& flac,
                                             const std::string& name) {
    std::vector<uint8_t> bytes = ReadBytes(flac);
    if (bytes.size() < 26) return "";
    bytes[21] |= 0x0F;
    for (size_t i = 22; i < 26; ++i) bytes[i] = 0xFF;
    WriteBytes(dir.file(name), bytes);
    return dir.file(name);
}

}  // namespace sonvira::test
