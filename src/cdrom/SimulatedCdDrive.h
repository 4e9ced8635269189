#pragma once
// A simulated CD drive behind the transport interface, for tests and benchmarks: it serves
// a disc description (tracks, lead-out, sectors generated from their number) and refuses
// commands with the sense data a real drive would give. Answers at once unless a test holds
// a read (BeforeRead); used on one thread at a time.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CdTransport.h"

namespace sonvira {

// CHECK CONDITION with fixed-format sense data.
struct SimulatedRefusal {
    uint8_t SenseKey = 0;
    uint8_t Asc = 0;
    uint8_t Ascq = 0;
};

struct SimulatedDisc {
    std::string ProductId = "SIMULATED CD-RW ";  // INQUIRY bytes 16 … 31, padded with blanks
    bool AnswersInquiry = true;
    uint8_t FirstTrack = 1;
    std::vector<uint32_t> TrackStarts;  // logical block address of each track, ascending
    uint32_t LeadOut = 0;
    std::set<uint8_t> DataTracks;                // track numbers whose CONTROL says data
    std::optional<std::vector<uint8_t>> RawToc;  // served for READ TOC instead of the above
    std::optional<SimulatedRefusal> TocRefusal;
    std::optional<SimulatedRefusal> ReadRefusal;      // every READ CD (no medium, ...)
    std::map<uint32_t, SimulatedRefusal> BadSectors;  // a READ CD touching one is refused
    // Called with the first sector of every READ CD before it is answered, on the thread
    // that sends it: a slow or hanging drive is one that sleeps or waits here.
    std::function<void(uint32_t lba)> BeforeRead;
};

// Sample `channel` (0 first, 1 second) of stereo frame `frame` (0 … 587) of sector `lba`.
int16_t SimulatedSample(uint32_t lba, uint32_t frame, int channel);

// One command as the drive saw it.
struct SimulatedCommand {
    std::string DevicePath;
    std::vector<uint8_t> Cdb;
    std::size_t DataBytes = 0;
    std::chrono::seconds Timeout{0};
};

class SimulatedCdTransport : public CdTransport {
  public:
    // A drive at `devicePath` holding `disc`; a path never added cannot be opened.
    void AddDrive(const std::string& devicePath, SimulatedDisc disc);
    SimulatedDisc& Disc(const std::string& devicePath) { return discs_.at(devicePath); }

    std::unique_ptr<CdDrive> OpenDrive(const std::string& devicePath) override;

    const std::vector<SimulatedCommand>& Commands() const { return commands_; }
    // Drives open now; any thread (a test waits for a given-up rip to close its drive).
    int OpenDrives() const { return openDrives_.load(); }

  private:
    friend class SimulatedCdDrive;
    std::map<std::string, SimulatedDisc> discs_;
    std::vector<SimulatedCommand> commands_;
    std::atomic<int> openDrives_{0};
};

}  // namespace sonvira
