#include "RipTrack.h"

#include <algorithm>
#include <limits>

#include "CdCommands.h"
#include "ChangeSec.h"
#include "Karaoke.h"
#include "RipLogLines.h"

namespace sonvira {
namespace {

constexpr int kMostFailuresInARow = 10;

enum class TocOutcome { Read, Failed, TrackRefused };

struct Span {
    uint64_t Pos = 0;
    uint64_t End = 0;
    bool LastTrack = false;
};

class Ripper {
  public:
    Ripper(CdDrive& drive, const RipRequest& request, RipListener& listener,
           std::size_t mostSoundBytes, RipResult& result)
        : drive_(drive),
          request_(request),
          listener_(listener),
          mostSoundBytes_(mostSoundBytes),
          result_(result) {}

    TocOutcome ReadToc() {
        std::vector<uint8_t> toc(kTocBytes);
        const CdCommandResult answer =
            drive_.SendCdCommand(ReadTocCdb(), toc, kShortCommandTimeout);
        if (!answer.Completed) {
            listener_.Log(TocFailureLine(answer.Status, request_.UseSpti));
            return TocOutcome::Failed;
        }
        listener_.Log(CatalogueLine(Msg::TocRead));
        // Only what the drive delivered is its answer; the rest of the buffer is ours.
        ReadTrackStarts(std::span(toc).first(std::min(answer.Received, toc.size())), tracks());
        if (static_cast<int64_t>(tracks().TrackCount) < request_.Track || request_.Track < 1) {
            listener_.Log(CatalogueLine(Msg::InvalidTrackNumber));
            return TocOutcome::TrackRefused;
        }
        listener_.Log(TracksFoundLine(tracks().TrackCount, request_.UseSpti));
        const auto track = static_cast<uint32_t>(request_.Track);
        // READ CD "any sector type" would hand over a data track's bytes as noise.
        if (tracks().IsDataTrack(track)) {
            listener_.Log(DataTrackLine(request_.Track));
            return TocOutcome::TrackRefused;
        }
        span_ = {tracks().TrackStart[track], tracks().TrackStart[track + 1],
                 track == tracks().TrackCount};
        tocRead_ = true;
        return TocOutcome::Read;
    }

    void ReadBlocks() {
        listener_.Log(
            CatalogueLine(request_.UseSpti ? Msg::SptiRippingStarts : Msg::AspiRippingStarts));
        block_.resize(kSectorsPerRead * kSectorBytes);
        bool stop = false;
        int failures = 0;
        while (!stop && span_.Pos < span_.End) {
            const uint32_t sectors = SectorsOfNextRead();
            if (!Fits(sectors)) {
                result_.LimitReached = true;
                break;
            }
            if (listener_.CancelRequested()) stop = result_.Cancelled = true;
            if (ReadBlock(sectors)) {
                failures = 0;
            } else if (++failures > kMostFailuresInARow) {
                stop = true;
            }
            span_.Pos += sectors;
            ShowPosition();
        }
        ShowPosition();
    }

  private:
    TrackTable& tracks() { return result_.Tracks; }

    uint32_t SectorsOfNextRead() const {
        if (!span_.LastTrack) return kSectorsPerRead;
        return static_cast<uint32_t>(std::min<uint64_t>(kSectorsPerRead, span_.End - span_.Pos));
    }

    // Whether a block of `sectors` still fits the largest sound the caller takes.
    bool Fits(uint32_t sectors) const {
        const std::size_t kept = result_.Sound.size();
        return kept <= mostSoundBytes_ && sectors * kSectorBytes <= mostSoundBytes_ - kept;
    }

    bool ReadBlock(uint32_t sectors) {
        const std::span<uint8_t> block(block_.data(), sectors * kSectorBytes);
        const auto lba = static_cast<uint32_t>(span_.Pos);
        const CdCommandResult answer = drive_.SendCdCommand(
            ReadCdCdb(lba, static_cast<uint8_t>(sectors)), block, kReadTimeout);
        if (!answer.Completed) {
            listener_.Log(ReadFailureLine(answer, request_.UseSpti));
            return false;
        }
        if (request_.Karaoke) KaraokeStep(block);
        result_.Sound.insert(result_.Sound.end(), block.begin(), block.end());
        return true;
    }

    // Without a table of contents from this rip there is nothing to show: the display keeps
    // the last position it showed.
    void ShowPosition() {
        if (!tocRead_) return;
        const auto pos = static_cast<uint32_t>(
            std::min<uint64_t>(span_.Pos, std::numeric_limits<uint32_t>::max()));
        listener_.ShowPosition(ChangeSec(pos, tracks()));
    }

    CdDrive& drive_;
    const RipRequest& request_;
    RipListener& listener_;
    const std::size_t mostSoundBytes_;
    RipResult& result_;
    Span span_;
    bool tocRead_ = false;
    std::vector<uint8_t> block_;
};

}  // namespace

RipResult RipTrack(CdTransport& transport, const RipRequest& request, TrackTable previous,
                   RipListener& listener, std::size_t mostSoundBytes) {
    RipResult result;
    result.Tracks = previous;
    if (request.DevicePath.empty()) {
        listener.Log(NoDriveChosenLine());
        return result;
    }
    if (std::unique_ptr<CdDrive> drive = transport.OpenDrive(request.DevicePath)) {
        Ripper ripper(*drive, request, listener, mostSoundBytes, result);
        if (ripper.ReadToc() == TocOutcome::TrackRefused) {
            result.TrackRefused = true;
            return result;
        }
        ripper.ReadBlocks();
    } else {
        listener.Log(NoDriveAccessLine(request.DevicePath, request.UseSpti));
    }
    listener.Log(CatalogueLine(Msg::RippingFinished));
    return result;
}

}  // namespace sonvira
