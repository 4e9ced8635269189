#include "RipTrack.h"

#include <algorithm>
#include <limits>

#include "CdCommands.h"
#include "ChangeSec.h"
#include "Karaoke.h"
#include "MessageCatalogue.h"
#include "ReadErrorLine.h"
#include "TranslationContext.h"

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
    Ripper(CdDrive& drive, const RipRequest& request, TrackTable& tracks, RipListener& listener,
           TranslationContext& translation)
        : drive_(drive),
          request_(request),
          tracks_(tracks),
          listener_(listener),
          tr_(translation) {}

    TocOutcome ReadToc() {
        std::vector<uint8_t> toc(kTocBytes);
        const CdCommandResult result =
            drive_.SendCdCommand(ReadTocCdb(), toc, kShortCommandTimeout);
        if (!result.Completed) {
            LogTocFailure(result);
            return TocOutcome::Failed;
        }
        Log(Msg::TocRead);
        ReadTrackStarts(toc, tracks_);
        if (static_cast<int64_t>(tracks_.TrackCount) < request_.Track || request_.Track < 1) {
            Log(Msg::InvalidTrackNumber);
            return TocOutcome::TrackRefused;
        }
        const auto track = static_cast<uint32_t>(request_.Track);
        span_ = {tracks_.TrackStart[track], tracks_.TrackStart[track + 1],
                 track == tracks_.TrackCount};
        listener_.Log(
            std::to_string(tracks_.TrackCount) + " " +
            CatalogueText(tr_, request_.UseSpti ? Msg::SptiTracksFound : Msg::AspiTracksFound));
        tocRead_ = true;
        return TocOutcome::Read;
    }

    void ReadBlocks() {
        Log(request_.UseSpti ? Msg::SptiRippingStarts : Msg::AspiRippingStarts);
        block_.resize(kSectorsPerRead * kSectorBytes);
        bool cancel = false;
        int failures = 0;
        while (!cancel && span_.Pos < span_.End) {
            if (listener_.HandleEvents()) cancel = true;
            const uint32_t sectors = SectorsOfNextRead();
            if (ReadBlock(sectors)) {
                failures = 0;
            } else if (++failures > kMostFailuresInARow) {
                cancel = true;
            }
            span_.Pos += sectors;
            ShowPosition();
        }
        ShowPosition();
    }

    std::vector<uint8_t> TakeSound() { return std::move(sound_); }

  private:
    void Log(Msg id) { listener_.Log(CatalogueText(tr_, id)); }

    void LogTocFailure(const CdCommandResult& result) {
        if (request_.UseSpti) {
            Log(Msg::CannotReadToc);
            return;
        }
        listener_.Log(CatalogueText(tr_, Msg::RipErrorWord) + " " + std::to_string(result.Status) +
                      "! " + CatalogueText(tr_, Msg::CannotReadToc));
    }

    uint32_t SectorsOfNextRead() const {
        if (!span_.LastTrack) return kSectorsPerRead;
        return static_cast<uint32_t>(std::min<uint64_t>(kSectorsPerRead, span_.End - span_.Pos));
    }

    bool ReadBlock(uint32_t sectors) {
        const std::span<uint8_t> block(block_.data(), sectors * kSectorBytes);
        const auto lba = static_cast<uint32_t>(span_.Pos);
        const CdCommandResult result = drive_.SendCdCommand(
            ReadCdCdb(lba, static_cast<uint8_t>(sectors)), block, kReadTimeout);
        if (!result.Completed) {
            LogReadFailure(result);
            return false;
        }
        if (request_.Karaoke) KaraokeStep(block);
        sound_.insert(sound_.end(), block.begin(), block.end());
        return true;
    }

    void LogReadFailure(const CdCommandResult& result) {
        if (request_.UseSpti)
            listener_.Log(SptiReadErrorLine(tr_, result.Status, result.Sense[2], result.Sense[12],
                                            result.Sense[13]));
        else
            listener_.Log(AspiReadErrorLine(tr_, result.Status));
    }

    // Without a table of contents from this rip there is nothing to show: the display keeps
    // the last position it showed.
    void ShowPosition() {
        if (!tocRead_) return;
        const auto pos = static_cast<uint32_t>(
            std::min<uint64_t>(span_.Pos, std::numeric_limits<uint32_t>::max()));
        listener_.ShowPosition(ChangeSec(pos, tracks_));
    }

    CdDrive& drive_;
    const RipRequest& request_;
    TrackTable& tracks_;
    RipListener& listener_;
    TranslationContext& tr_;
    Span span_;
    bool tocRead_ = false;
    std::vector<uint8_t> block_;
    std::vector<uint8_t> sound_;
};

}  // namespace

RipResult RipTrack(CdTransport& transport, const RipRequest& request, TrackTable& tracks,
                   RipListener& listener, TranslationContext& translation) {
    RipResult result;
    if (request.DevicePath.empty()) {
        listener.Log(translation.Translate("Kein CD-Laufwerk gefunden, es wurde nichts gelesen."));
        return result;
    }
    if (std::unique_ptr<CdDrive> drive = transport.OpenDrive(request.DevicePath)) {
        Ripper ripper(*drive, request, tracks, listener, translation);
        if (ripper.ReadToc() == TocOutcome::TrackRefused) {
            result.TrackRefused = true;
            return result;
        }
        ripper.ReadBlocks();
        result.Sound = ripper.TakeSound();
    } else {
        listener.Log(CatalogueText(
            translation, request.UseSpti ? Msg::NoSptiDriveAccess : Msg::AspiDriverMissing));
    }
    listener.Log(CatalogueText(translation, Msg::RippingFinished));
    return result;
}

}  // namespace sonvira
