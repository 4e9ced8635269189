#pragma once
// The four-byte MPEG audio frame header (ISO/IEC 11172-3, 13818-3 and the 2.5 extension):
// the validity test the MP3 import scans with and the stream parameters it derives.

#include <cstdint>

namespace sonvira {

enum MpegVersion : int { kMpeg25 = 0, kMpegReserved = 1, kMpeg2 = 2, kMpeg1 = 3 };

// Sync bits, a layer other than 0, a sample-rate index below 3 and a bit-rate index below 15.
// The reserved version 1 is not valid either: it has no sample rate.
bool IsValidFrameHeader(const uint8_t h[4]);

int FrameVersion(const uint8_t h[4]);  // MpegVersion value, b1 bits 4-3
int FrameLayer(const uint8_t h[4]);    // 1 Layer III, 2 Layer II, 3 Layer I (b1 bits 2-1)

// Hz for a version (3, 2 or 0) and a sample-rate index 0…2; 0 for anything else.
int MpegSampleRate(int version, int rateIndex);
// kbit/s from the MPEG-1 table for version 3 and the lower-sampling-frequency table for the
// others; index 0 (free format) counts as 1; 0 for a reserved layer or index 15.
int MpegBitRate(int version, int layerField, int bitRateIndex);

struct FrameParams {
    int sampleRate = 0;  // Hz
    int bitRate = 0;     // kbit/s
    bool stereo = false;
};
// Parameters of a valid header (see IsValidFrameHeader).
FrameParams ParseFrameHeader(const uint8_t h[4]);

}  // namespace sonvira
