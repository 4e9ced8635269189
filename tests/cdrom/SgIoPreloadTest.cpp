// The real system calls and SG_IO transport in a separate process, with FakeCdPreload
// playing /dev/sr0: what the kernel would see and what comes back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "CdCommands.h"
#include "ChildProcess.h"
#include "SimulatedCdDrive.h"
#include "TempDir.h"

namespace sonvira {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> LinesOf(const std::string& path) {
    std::istringstream in(ReadAll(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(SgIoPreload, RealTransportFindsTheDriveAndRipsTheLastTrack) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "block");
    for (const char* entry : {"sda", "sr0", "loop0"}) std::ofstream(dir.path() / "block" / entry);
    setenv("SONVIRA_FAKE_CD_SYSFS", dir.file("block").c_str(), 1);
    setenv("SONVIRA_FAKE_CD_TRACKS", "0,300,1005", 1);
    setenv("SONVIRA_FAKE_CD_PRODUCT", "PRELOADED DRIVE ", 1);
    setenv("SONVIRA_FAKE_CD_LOG", dir.file("sgio.txt").c_str(), 1);
    // The probe runs under the sanitizers, whose runtime would otherwise insist on coming
    // first in the list of loaded libraries.
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS",
           ((asan ? std::string(asan) + ":" : std::string()) + "verify_asan_link_order=0").c_str(),
           1);
    setenv("LD_PRELOAD", SONVIRA_FAKE_CD_PRELOAD, 1);
    const pid_t pid = test::Spawn({SONVIRA_CD_PROBE, dir.path().string(), "2"});
    unsetenv("LD_PRELOAD");
    asan ? setenv("ASAN_OPTIONS", asan, 1) : unsetenv("ASAN_OPTIONS");
    ASSERT_GT(pid, 0);
    ASSERT_EQ(test::WaitFor(pid, std::chrono::seconds(30)), 0) << ReadAll(dir.file("log.txt"));

    EXPECT_EQ(LinesOf(dir.file("drives.txt")),
              (std::vector<std::string>{"/dev/sr0: PRELOADED DRIVE "}));
    EXPECT_EQ(LinesOf(dir.file("log.txt")),
              (std::vector<std::string>{"TOC eingelesen...", "2 Tracks gefunden...",
                                        "Starte Ripping...", "Ripping beendet..."}));
    const std::string sound = ReadAll(dir.file("sound.raw"));
    ASSERT_EQ(sound.size(), 705 * kSectorBytes);
    for (uint32_t sector : {300u, 1004u}) {
        const std::size_t at = (sector - 300) * kSectorBytes;
        const auto left = int16_t(uint16_t(uint8_t(sound[at]) | uint8_t(sound[at + 1]) << 8));
        EXPECT_EQ(left, SimulatedSample(sector, 0, 0)) << sector;
    }

    const std::vector<std::string> sgio = LinesOf(dir.file("sgio.txt"));
    ASSERT_EQ(sgio.size(), 1u + 1u + 71u);  // INQUIRY, READ TOC, 71 reads
    EXPECT_EQ(sgio[0],
              "cdb 12 00 00 00 FF 00 | interface S direction -3 cdb 6 sense 24 data 255 "
              "timeout 2000");
    EXPECT_EQ(sgio[1],
              "cdb 43 00 00 00 00 00 00 08 00 00 | interface S direction -3 cdb 10 "
              "sense 24 data 2048 timeout 2000");
    EXPECT_EQ(sgio[2],
              "cdb BE 00 00 00 01 2C 00 00 0A 10 00 00 | interface S direction -3 cdb 12 "
              "sense 24 data 23520 timeout 200000");
    EXPECT_EQ(sgio.back(),
              "cdb BE 00 00 00 03 E8 00 00 05 10 00 00 | interface S direction -3 "
              "cdb 12 sense 24 data 11760 timeout 200000");
}

}  // namespace
}  // namespace sonvira
