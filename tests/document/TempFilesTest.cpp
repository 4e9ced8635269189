// Temporary files while several copies run: each copy's own folder, names taken atomically,
// no link followed, nothing readable by other users, nothing left behind by a crash.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "PrivateTempFolder.h"
#include "TempDir.h"
#include "WavFile.h"

namespace sonvira {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// A process id that is certainly gone: a child that has ended and been reaped.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(CreateTempWav, TakesFreeNamesPrivatelyAndPassesOverPlantedLinks) {
    test::TempDir dir;
    const std::string folder = dir.path().string();  // no trailing '/': one is added
    const std::string victim = dir.file("victim");
    test::WriteBytes(victim, {1, 2, 3});
    fs::create_symlink(victim, dir.file("tempwav0.wav"));

    const std::string name = CreateTempWav(folder, "tempwav", ".wav");
    EXPECT_EQ(name, folder + "/tempwav1.wav");
    EXPECT_EQ(ModeOf(name), 0600u);
    EXPECT_EQ(CreateTempWav(folder + "/", "tempwav", ".wav"), folder + "/tempwav2.wav");
    EXPECT_EQ(CreateTempWav(dir.file("missing"), "tempwav", ".wav"), "");

    // The writers refuse the link too, instead of writing into what it points at.
    EXPECT_EQ(OpenTempForWriting(dir.file("tempwav0.wav")), nullptr);
    EXPECT_EQ(test::ReadBytes(victim), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(CreateTempWav, CopiesTakingNamesAtOnceNeverShareOne) {
    test::TempDir dir;
    constexpr int kEach = 200;
    std::vector<std::string> names[2];
    std::vector<std::thread> copies;
    for (auto& list : names)
        copies.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) list.push_back(CreateTempWav(dir.path().string(), "tempwav", ".wav"));
        });
    for (auto& copy : copies) copy.join();
    std::set<std::string> distinct(names[0].begin(), names[0].end());
    distinct.insert(names[1].begin(), names[1].end());
    distinct.erase("");
    EXPECT_EQ(distinct.size(), 2u * kEach);
}

TEST(PrivateTempFolder, IsThisCopysOwnAndGoesWithIt) {
    test::TempDir base;
    std::string path;
    {
        // A base that cannot be used is passed over.
        PrivateTempFolder folder({base.file("missing"), base.path().string()});
        path = folder.Path();
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(fs::path(path).parent_path(), base.path());
        EXPECT_EQ(TempFolderOwner(fs::path(path).filename().string()), ::getpid());
        EXPECT_EQ(ModeOf(path), 0700u);
        test::WriteBytes(CreateTempWav(path, "tempwav", ".wav"), {1});
        PrivateTempFolder second({base.path().string()});
        EXPECT_NE(second.Path(), path);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::is_empty(base.path()));
}

TEST(PrivateTempFolder, NextStartRemovesOnlyFoldersOfEndedCopies) {
    test::TempDir base;
    const std::string ended = base.file("sonvira-" + std::to_string(EndedProcess()) + "-a1b2c3");
    const std::string running = base.file("sonvira-" + std::to_string(::getppid()) + "-d4e5f6");
    const std::string notOurs[] = {base.file("sonvira-test-x1y2z3"), base.file("sonvira-abc-123456")};
    for (const auto& folder : {ended, running, notOurs[0], notOurs[1]}) fs::create_directory(folder);
    test::WriteBytes(ended + "/tempwav0.wav", {1, 2});
    // A plain file with the name of an ended copy's folder is no folder of ours.
    const std::string plainFile = base.file("sonvira-" + std::to_string(EndedProcess()) + "-g7h8i9");
    test::WriteBytes(plainFile, {1});

    const std::string own = PrivateTempFolder({base.path().string()}).Path();
    EXPECT_FALSE(own.empty());
    EXPECT_FALSE(fs::exists(ended));
    for (const auto& kept : {running, notOurs[0], notOurs[1], plainFile}) EXPECT_TRUE(fs::exists(kept)) << kept;
}

TEST(PrivateTempFolder, BasesFollowTheEnvironment) {
    const struct {
        const char* runtime;
        const char* tmpdir;
        std::vector<std::string> bases;
    } cases[] = {
        {"/run/user/1000", "/var/tmp", {"/run/user/1000", "/var/tmp", "/tmp"}},
        {nullptr, "/var/tmp", {"/var/tmp", "/tmp"}},
        {"", nullptr, {"/tmp"}},
    };
    for (const auto& c : cases) {
        c.runtime ? ::setenv("XDG_RUNTIME_DIR", c.runtime, 1) : ::unsetenv("XDG_RUNTIME_DIR");
        c.tmpdir ? ::setenv("TMPDIR", c.tmpdir, 1) : ::unsetenv("TMPDIR");
        EXPECT_EQ(TempFolderBases(), c.bases);
    }
}

}  // namespace
}  // namespace sonvira
