#pragma once
// Finding the machine's CD drives, once per run, for the drive box of the CD import.
//
// First way ("SPTI"): the CD block devices /dev/sr0, /dev/sr1, … as /sys/class/block lists
// them, by number; a drive that cannot be opened (no access rights) is skipped. Only when
// that finds none, the second way ("ASPI"): the generic SCSI devices /dev/sg*, whose
// SG_GET_SCSI_ID names host, target and device type; those of type 5 (CD) are kept, ordered
// by host and target. Either way each drive is asked for its product identification.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CdSystemCalls.h"
#include "CdTransport.h"

namespace sonvira {

class TranslationContext;

struct CdDriveEntry {
    std::string DevicePath;   // /dev/sr0 (first way) or /dev/sg1 (second way)
    uint8_t HostAdapter = 0;  // second way only
    uint8_t Target = 0;       // second way only
    uint8_t Lun = 0;          // always 0
    // The drive's product identification, 16 characters with the blanks the drive returned,
    // or "CD-DRIVE" when it did not answer INQUIRY.
    std::string Name;
};

struct CdDriveTable {
    static constexpr std::size_t kMaxDrives = 32;  // further drives are left out
    bool UseSpti = true;  // true: block devices, every command through them; false: /dev/sg*
    std::vector<CdDriveEntry> Drives;
};

// The drive box line of `entry`: "/dev/sr0: <name>" for a block device, the name alone for a
// generic SCSI device.
std::string DriveBoxLine(const CdDriveEntry& entry, bool useSpti);

// Searches both ways as described above. Error lines (messages 3 … 7, translated) go to `log`:
//   7  no generic SCSI device could be opened at all (the sg driver is missing or closed);
//   6  the sg driver is too old for SG_IO;
//   5  a generic SCSI device does not tell its identity (that device is left out);
//   3 + status + 4  a CD drive refused INQUIRY (it is still listed, as "CD-DRIVE").
CdDriveTable FindAllCDDrives(CdSystemCalls& calls, CdTransport& transport,
                             TranslationContext& translation,
                             const std::function<void(const std::string&)>& log);

}  // namespace sonvira
