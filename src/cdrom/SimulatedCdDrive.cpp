#include "SimulatedCdDrive.h"

#include <algorithm>

#include "CdCommands.h"

namespace sonvira {

int16_t SimulatedSample(uint32_t lba, uint32_t frame, int channel) {
    const uint32_t value = channel == 0 ? lba * 7u + frame * 13u : lba * 3u - frame * 5u;
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

class SimulatedCdDrive : public CdDrive {
  public:
    SimulatedCdDrive(SimulatedCdTransport& owner, std::string path)
        : owner_(owner), path_(std::move(path)) {
        ++owner_.openDrives_;
    }
    ~SimulatedCdDrive() override { --owner_.openDrives_; }

    CdCommandResult SendCdCommand(std::span<const uint8_t> cdb, std::span<uint8_t> data,
                                  std::chrono::seconds timeout) override {
        owner_.commands_.push_back({path_, {cdb.begin(), cdb.end()}, data.size(), timeout});
        const SimulatedDisc& disc = owner_.discs_.at(path_);
        if (cdb.empty()) return Refuse({5, 0x20, 0x00});
        switch (cdb[0]) {
            case 0x12:
                return Inquiry(disc, data);
            case 0x43:
                return ReadToc(disc, data);
            case 0xBE:
                return ReadCd(disc, cdb, data);
            default:
                return Refuse({5, 0x20, 0x00});  // invalid command operation code
        }
    }

  private:
    static CdCommandResult Refuse(const SimulatedRefusal& refusal) {
        CdCommandResult result;
        result.Status = 2;
        result.Sense[0] = 0x70;
        result.Sense[2] = refusal.SenseKey;
        result.Sense[7] = 10;
        result.Sense[12] = refusal.Asc;
        result.Sense[13] = refusal.Ascq;
        return result;
    }

    static CdCommandResult Deliver(std::span<uint8_t> data, const std::vector<uint8_t>& bytes) {
        const std::size_t n = std::min(data.size(), bytes.size());
        std::copy_n(bytes.begin(), n, data.begin());
        CdCommandResult result;
        result.Completed = true;
        result.Received = n;
        return result;
    }

    static CdCommandResult Inquiry(const SimulatedDisc& disc, std::span<uint8_t> data) {
        if (!disc.AnswersInquiry) return {};  // no answer at all: the transport gives up
        std::vector<uint8_t> bytes(36, ' ');
        bytes[0] = 0x05;  // CD/DVD device
        bytes[4] = 31;
        std::string id = disc.ProductId.substr(0, 16);
        std::copy(id.begin(), id.end(), bytes.begin() + 16);
        return Deliver(data, bytes);
    }

    // ADR 1 (position) in the high nibble of byte 1, CONTROL in the low one.
    static void PutAddress(std::vector<uint8_t>& bytes, uint8_t track, uint32_t lba,
                           uint8_t control) {
        const uint8_t descriptor[8] = {0,
                                       static_cast<uint8_t>(0x10 | control),
                                       track,
                                       0,
                                       static_cast<uint8_t>(lba >> 24),
                                       static_cast<uint8_t>(lba >> 16),
                                       static_cast<uint8_t>(lba >> 8),
                                       static_cast<uint8_t>(lba)};
        bytes.insert(bytes.end(), descriptor, descriptor + 8);
    }

    static CdCommandResult ReadToc(const SimulatedDisc& disc, std::span<uint8_t> data) {
        if (disc.TocRefusal) return Refuse(*disc.TocRefusal);
        if (disc.RawToc) return Deliver(data, *disc.RawToc);
        std::vector<uint8_t> bytes(4);
        const auto tracks = static_cast<uint8_t>(disc.TrackStarts.size());
        bytes[2] = disc.FirstTrack;
        bytes[3] = static_cast<uint8_t>(disc.FirstTrack + tracks - 1);
        for (uint8_t i = 0; i < tracks; ++i) {
            const auto track = static_cast<uint8_t>(disc.FirstTrack + i);
            const uint8_t control = disc.DataTracks.count(track) ? 0x04 : 0x00;
            PutAddress(bytes, track, disc.TrackStarts[i], control);
        }
        PutAddress(bytes, 0xAA, disc.LeadOut, 0x00);
        const auto length = static_cast<uint16_t>(bytes.size() - 2);
        bytes[0] = static_cast<uint8_t>(length >> 8);
        bytes[1] = static_cast<uint8_t>(length);
        return Deliver(data, bytes);
    }

    static CdCommandResult ReadCd(const SimulatedDisc& disc, std::span<const uint8_t> cdb,
                                  std::span<uint8_t> data) {
        if (disc.ReadRefusal) return Refuse(*disc.ReadRefusal);
        if (cdb.size() < 12) return Refuse({5, 0x24, 0x00});
        const uint32_t lba = uint32_t{cdb[2]} << 24 | uint32_t{cdb[3]} << 16 |
                             uint32_t{cdb[4]} << 8 | uint32_t{cdb[5]};
        const uint32_t count = uint32_t{cdb[6]} << 16 | uint32_t{cdb[7]} << 8 | cdb[8];
        if (disc.BeforeRead) disc.BeforeRead(lba);
        // The whole transfer must lie before the lead-out, or the drive refuses all of it.
        if (lba >= disc.LeadOut || count > disc.LeadOut - lba) return Refuse({5, 0x21, 0x00});
        for (uint32_t s = lba; s < lba + count; ++s)
            if (auto bad = disc.BadSectors.find(s); bad != disc.BadSectors.end())
                return Refuse(bad->second);
        // Written in place: benchmarks rip through this drive at hundreds of times real time.
        const std::size_t frames = std::min<std::size_t>(count * kSectorBytes, data.size()) / 4;
        for (std::size_t f = 0; f < frames; ++f) {
            const auto s = static_cast<uint32_t>(lba + f / (kSectorBytes / 4));
            const auto frame = static_cast<uint32_t>(f % (kSectorBytes / 4));
            for (int channel = 0; channel < 2; ++channel) {
                const auto v = static_cast<uint16_t>(SimulatedSample(s, frame, channel));
                data[f * 4 + 2 * channel] = static_cast<uint8_t>(v);
                data[f * 4 + 2 * channel + 1] = static_cast<uint8_t>(v >> 8);
            }
        }
        CdCommandResult result;
        result.Completed = true;
        result.Received = frames * 4;
        return result;
    }

    SimulatedCdTransport& owner_;
    std::string path_;
};

void SimulatedCdTransport::AddDrive(const std::string& devicePath, SimulatedDisc disc) {
    discs_[devicePath] = std::move(disc);
}

std::unique_ptr<CdDrive> SimulatedCdTransport::OpenDrive(const std::string& devicePath) {
    if (!discs_.count(devicePath)) return nullptr;
    return std::make_unique<SimulatedCdDrive>(*this, devicePath);
}

}  // namespace sonvira
