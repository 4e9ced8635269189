#pragma once
// One codec conversion stream: MP3 (format tag 85) in, 16-bit PCM out, decoded by
// libmpg123's feed API. The caller fills the source buffer, sets `cbSrcLength` in the
// header, calls StreamConvert and reads `cbSrcLengthUsed` / `cbDstLengthUsed` back.
// The destination buffer is never overrun and no decoded sample is lost: what does not
// fit one call stays in the decoder and comes out in the next call (HasPendingOutput
// says so; a call with `cbSrcLength` 0 drains it).
// Window thread only; not copyable. Failures of the stream calls come back as the result
// codes below and become EACMConvertor exceptions through CheckResult. StreamConvert is
// virtual so that tests can watch the passes a caller makes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "EACMConvertor.h"
#include "FormatRecord.h"

namespace sonvira {

// Result codes of the stream calls.
inline constexpr int MMSYSERR_NOERROR = 0;
inline constexpr int MMSYSERR_INVALHANDLE = 5;
inline constexpr int MMSYSERR_NODRIVER = 6;
inline constexpr int MMSYSERR_NOMEM = 7;
inline constexpr int MMSYSERR_INVALFLAG = 10;
inline constexpr int MMSYSERR_INVALPARAM = 11;
inline constexpr int ACMERR_NOTPOSSIBLE = 512;
inline constexpr int ACMERR_BUSY = 513;
inline constexpr int ACMERR_UNPREPARED = 514;

// Marks of StreamConvert.
inline constexpr uint32_t ACM_STREAMCONVERTF_START = 0x10;
inline constexpr uint32_t ACM_STREAMCONVERTF_END = 0x20;

// Ties the two buffers to the stream; the byte counts of one convert call.
struct ACMStreamHeader {
    uint32_t cbStruct = 84;
    uint32_t fdwStatus = 0;
    uint8_t* pbSrc = nullptr;
    uint32_t cbSrcLength = 0;      // bytes of source data for the next call
    uint32_t cbSrcLengthUsed = 0;  // bytes the last call consumed
    uint8_t* pbDst = nullptr;
    uint32_t cbDstLength = 0;      // room in the destination buffer
    uint32_t cbDstLengthUsed = 0;  // bytes the last call wrote
};

class TACMConvertor {
public:
    // Inactive, InputBufferSize 2048, both records 22050 Hz 8-bit mono PCM with cbSize 129.
    TACMConvertor();
    // Inactive as above, with these records for ACMFormatIn and ACMFormatOut.
    TACMConvertor(const FormatRecord& formatIn, const FormatRecord& formatOut);
    virtual ~TACMConvertor();  // closes an open stream (errors swallowed: a destructor cannot throw)
    TACMConvertor(const TACMConvertor&) = delete;
    TACMConvertor& operator=(const TACMConvertor&) = delete;

    // Setting true opens the stream for ACMFormatIn → ACMFormatOut, sizes and allocates the
    // buffers and fills the header; false closes it and frees them. Setting the current value
    // does nothing. Throws EACMConvertor ("acmStreamOpen:", "acmStreamSize:", …); after a
    // failed opening the converter is inactive with no buffers and no stream.
    void SetActive(bool active);
    bool Active() const { return active_; }

    // Bytes of source data per convert call. Throws while active (the size stays).
    void SetInputBufferSize(int32_t size);
    int32_t InputBufferSize() const { return inputBufferSize_; }
    // Selects the real-time open mode (no effect on this decoder). Throws while active.
    void SetUseRealTime(bool realTime);
    bool UseRealTime() const { return useRealTime_; }

    // Bytes of the destination buffer while active (0 when inactive).
    uint32_t DestinationSize() const { return destinationSize_; }
    ACMStreamHeader& Header() { return header_; }
    uint8_t* SourceBuffer() { return source_.data(); }
    uint8_t* DestinationBuffer() { return destination_.data(); }

    // Decodes `cbSrcLength` bytes of the source buffer: all of them are consumed, and up to
    // `cbDstLength` bytes of PCM are written. `flags`: ACM_STREAMCONVERTF_START and/or _END.
    // Returns 0 or a result code (bytes written before a failure still count).
    virtual int StreamConvert(uint32_t flags);
    // True when the last StreamConvert filled the destination buffer and the decoder may
    // hold more PCM for the next call.
    bool HasPendingOutput() const { return pending_; }
    // Drops everything the decoder still holds; the stream stays open. Returns a result code.
    int StreamReset();

    // Throws EACMConvertor with `prefix` + the code's text unless `code` is 0.
    static void CheckResult(const std::string& prefix, int code);
    // The message CheckResult raises for a non-zero code.
    static std::string ResultMessage(const std::string& prefix, int code);

    FormatRecord ACMFormatIn;
    FormatRecord ACMFormatOut;

private:
    struct Decoder;
    int OpenStream();
    int StreamSize(uint32_t sourceBytes, uint32_t& destinationBytes) const;
    void CloseStream();

    bool active_ = false;
    bool useRealTime_ = false;
    bool pending_ = false;
    int32_t inputBufferSize_ = 2048;
    uint32_t destinationSize_ = 0;
    std::vector<uint8_t> source_;
    std::vector<uint8_t> destination_;
    std::unique_ptr<Decoder> decoder_;
    ACMStreamHeader header_;
};

}  // namespace sonvira
