#include "FindAllCDDrives.h"

#include <fcntl.h>
#include <scsi/sg.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "CdCommands.h"
#include "MessageCatalogue.h"
#include "TranslationContext.h"

namespace sonvira {
namespace {

constexpr const char* kNoInquiryName = "CD-DRIVE";
constexpr int kCdDeviceType = 5;
constexpr int kFirstSgIoVersion = 30000;  // sg driver 3.0 brought SG_IO

// The numbers N of the entries "<prefix>N" in `names`, ascending.
std::vector<int> NumberedEntries(const std::vector<std::string>& names, const std::string& prefix) {
    std::vector<int> numbers;
    for (const std::string& name : names) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 6 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        numbers.push_back(std::stoi(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// INQUIRY's product identification (bytes 16 … 31 as returned), or nullopt when the drive
// did not answer or returned none.
std::optional<std::string> ProductIdentification(CdDrive& drive, uint8_t& status) {
    std::vector<uint8_t> data(kInquiryBytes);
    const CdCommandResult result = drive.SendCdCommand(InquiryCdb(), data, kShortCommandTimeout);
    status = result.Status;
    if (!result.Completed) return std::nullopt;
    const std::size_t end = std::min<std::size_t>(32, result.Received);
    if (end <= 16) return std::nullopt;
    return std::string(data.begin() + 16, data.begin() + static_cast<std::ptrdiff_t>(end));
}

struct GenericDevice {
    std::string Path;
    sg_scsi_id Id;
};

}  // namespace

std::string DriveBoxLine(const CdDriveEntry& entry, bool useSpti) {
    return useSpti ? entry.DevicePath + ": " + entry.Name : entry.Name;
}

namespace {

class DriveSearch {
  public:
    DriveSearch(CdSystemCalls& calls, CdTransport& transport, TranslationContext& translation,
                const std::function<void(const std::string&)>& log)
        : calls_(calls), transport_(transport), tr_(translation), log_(log) {}

    CdDriveTable Run() {
        SearchBlockDevices();
        if (table_.Drives.empty()) {
            table_.UseSpti = false;
            SearchGenericDevices();
        }
        return std::move(table_);
    }

  private:
    bool Full() const { return table_.Drives.size() >= CdDriveTable::kMaxDrives; }

    void SearchBlockDevices() {
        for (int n : NumberedEntries(calls_.ListDirectory("/sys/class/block"), "sr")) {
            if (Full()) return;
            devicesSeen_ = true;
            const std::string path = "/dev/sr" + std::to_string(n);
            std::unique_ptr<CdDrive> drive = transport_.OpenDrive(path);
            if (!drive) continue;
            uint8_t status = 0;
            table_.Drives.push_back(
                {path, 0, 0, 0, ProductIdentification(*drive, status).value_or(kNoInquiryName)});
        }
    }

    void SearchGenericDevices() {
        std::vector<GenericDevice> cds;
        bool anyOpened = false;
        for (int n : NumberedEntries(calls_.ListDirectory("/dev"), "sg")) {
            const std::string path = "/dev/sg" + std::to_string(n);
            devicesSeen_ = true;
            const int fd = calls_.Open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) continue;
            if (!anyOpened && !DriverSupportsSgIo(fd)) {
                calls_.Close(fd);
                Log(Msg::DiscoveryAspiInitFailed);
                return;
            }
            anyOpened = true;
            sg_scsi_id id{};
            const bool known = calls_.Ioctl(fd, SG_GET_SCSI_ID, &id) == 0;
            calls_.Close(fd);
            if (!known)
                Log(Msg::DiscoveryScsiCommandFailed);
            else if (id.scsi_type == kCdDeviceType && id.lun == 0)
                cds.push_back({path, id});
        }
        if (!anyOpened) {
            // Where the drivers' own loader once failed, say what stands in the way here.
            log_(devicesSeen_
                     ? tr_.Translate("Auf das CD-Laufwerk fehlt der Zugriff: nötig sind Lese- und Schreibrechte "
                                     "auf /dev/sr* bzw. /dev/sg*, meist durch Mitgliedschaft in der Gruppe cdrom.")
                     : tr_.Translate("Es wurde kein CD-Laufwerk gefunden."));
            return;
        }
        std::stable_sort(cds.begin(), cds.end(),
                         [](const GenericDevice& a, const GenericDevice& b) {
                             return std::tie(a.Id.host_no, a.Id.channel, a.Id.scsi_id) <
                                    std::tie(b.Id.host_no, b.Id.channel, b.Id.scsi_id);
                         });
        for (const GenericDevice& cd : cds) {
            if (Full()) return;
            AddGenericDevice(cd);
        }
    }

    bool DriverSupportsSgIo(int fd) {
        int version = 0;
        return calls_.Ioctl(fd, SG_GET_VERSION_NUM, &version) == 0 && version >= kFirstSgIoVersion;
    }

    void AddGenericDevice(const GenericDevice& cd) {
        CdDriveEntry entry{cd.Path, static_cast<uint8_t>(cd.Id.host_no),
                           static_cast<uint8_t>(cd.Id.scsi_id), 0, kNoInquiryName};
        std::unique_ptr<CdDrive> drive = transport_.OpenDrive(cd.Path);
        uint8_t status = 0;
        std::optional<std::string> name;
        if (drive) name = ProductIdentification(*drive, status);
        if (name)
            entry.Name = *name;
        else
            log_(CatalogueText(tr_, Msg::DiscoveryErrorWord) + " " + std::to_string(status) +
                 CatalogueText(tr_, Msg::ScsiCommandFailedSuffix));
        table_.Drives.push_back(std::move(entry));
    }

    void Log(Msg id) { log_(CatalogueText(tr_, id)); }

    bool devicesSeen_ = false;  // some /dev/sr* or /dev/sg* exists, whether it opened or not
    CdSystemCalls& calls_;
    CdTransport& transport_;
    TranslationContext& tr_;
    const std::function<void(const std::string&)>& log_;
    CdDriveTable table_;
};

}  // namespace

CdDriveTable FindAllCDDrives(CdSystemCalls& calls, CdTransport& transport,
                             TranslationContext& translation,
                             const std::function<void(const std::string&)>& log) {
    return DriveSearch(calls, transport, translation, log).Run();
}

}  // namespace sonvira
