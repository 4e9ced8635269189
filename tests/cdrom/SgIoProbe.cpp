// Finds the CD drives and rips one track with the real system calls and the SG_IO transport,
// for a test that runs it with FakeCdPreload playing the drive. Writes into folder argv[1]:
// drives.txt (drive box lines), log.txt (log lines) and sound.raw (the sound read).
// Usage: sonvira_cd_probe <folder> <track>

#include <fstream>
#include <iostream>
#include <string>

#include "CdSystemCalls.h"
#include "FindAllCDDrives.h"
#include "RipTrack.h"
#include "SgIoTransport.h"
#include "TranslationContext.h"

namespace {

struct FileListener : sonvira::RipListener {
    std::ofstream& log;
    sonvira::TranslationContext& tr;
    FileListener(std::ofstream& out, sonvira::TranslationContext& translation)
        : log(out), tr(translation) {}
    void Log(sonvira::DeferredText line) override { log << line(tr) << '\n'; }
    void ShowPosition(const std::string&) override {}
    bool CancelRequested() override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <folder> <track>\n";
        return 2;
    }
    const std::string folder = argv[1];
    sonvira::LinuxCdSystemCalls calls;
    sonvira::SgIoTransport transport(calls);
    sonvira::TranslationContext tr;
    std::ofstream log(folder + "/log.txt");
    const sonvira::CdDriveTable table = sonvira::FindAllCDDrives(
        calls, transport, tr, [&](const std::string& l) { log << l << '\n'; });
    std::ofstream drives(folder + "/drives.txt");
    for (const sonvira::CdDriveEntry& e : table.Drives)
        drives << sonvira::DriveBoxLine(e, table.UseSpti) << '\n';
    if (table.Drives.empty()) return 1;

    FileListener listener(log, tr);
    const sonvira::RipResult result = sonvira::RipTrack(
        transport, {table.Drives[0].DevicePath, table.UseSpti, std::stoi(argv[2]), false}, {},
        listener);
    std::ofstream(folder + "/sound.raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(result.Sound.data()),
               static_cast<std::streamsize>(result.Sound.size()));
    return 0;
}
