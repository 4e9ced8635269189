#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "KillDuringSaves.h"
#include "PendingFile.h"
#include "RunCommand.h"
#include "TempDir.h"
#include "UnprivilegedUser.h"

namespace sonvira {
namespace {

using test::kUnprivilegedGroup;
using test::kUnprivilegedUser;

constexpr gid_t kUsersGroup = 100;
constexpr gid_t kRootGroup = 0;

mode_t UmaskBySettingIt() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Writes "new" to `path` through a PendingFile, as the unprivileged user.
std::string SaveAsUser(const std::string& path, const std::vector<gid_t>& extraGroups) {
    return test::RunAsUnprivilegedUser(
        [&]() -> std::string {
            PendingFile file(path);
            if (!file.Ok()) return "refused";
            const uint8_t text[] = {'n', 'e', 'w'};
            return file.Write(text, sizeof text) && file.Commit() ? "saved" : "failed late";
        },
        extraGroups);
}

// An ordinary user saving over files and into folders with various permissions. A
// rename over a file needs only the folder's permission, so the file's own write
// protection must be checked before; a replaced file keeps its mode and, where the user
// may give it, its group.
TEST(PendingFile, RespectsTheUsersPermissionsAndKeepsModeAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "setting up files of another owner needs root";
    const struct {
        const char* name;
        bool folderWritable;
        bool fileExists;
        gid_t fileGroup;
        mode_t fileMode;
        std::vector<gid_t> userGroups;  // besides the user's own
        const char* report;
        const char* contents;  // "" when no file may be there
        mode_t modeAfter;      // 0: the umask's mode for a new file
        gid_t groupAfter;
    } cases[] = {
        {"write-protected file", true, true, kUnprivilegedGroup, 0444, {}, "refused", "old", 0444,
         kUnprivilegedGroup},
        {"writable file keeps mode and group", true, true, kUsersGroup, 0640, {kUsersGroup},
         "saved", "new", 0640, kUsersGroup},
        {"group the user is not in: mode kept", true, true, kRootGroup, 0664, {}, "saved", "new",
         0664, kUnprivilegedGroup},
        {"writable file in a locked folder", false, true, kUnprivilegedGroup, 0644, {}, "refused",
         "old", 0644, kUnprivilegedGroup},
        {"new file in a locked folder", false, false, 0, 0, {}, "refused", "", 0, 0},
        {"new file in a writable folder", true, false, 0, 0, {}, "saved", "new", 0,
         kUnprivilegedGroup},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        ::chmod(dir.path().c_str(), 0755);
        const std::filesystem::path folder = dir.path() / "folder";
        std::filesystem::create_directory(folder);
        if (c.folderWritable) {
            ASSERT_EQ(::chown(folder.c_str(), kUnprivilegedUser, kUnprivilegedGroup), 0);
        }
        const std::string path = (folder / "take.wav").string();
        if (c.fileExists) {
            test::WriteBytes(path, {'o', 'l', 'd'});
            ASSERT_EQ(::chown(path.c_str(), kUnprivilegedUser, c.fileGroup), 0);
            ASSERT_EQ(::chmod(path.c_str(), c.fileMode), 0);
        }

        EXPECT_EQ(SaveAsUser(path, c.userGroups), c.report);

        const std::string contents = c.contents;
        const auto entries = std::distance(std::filesystem::directory_iterator(folder), {});
        EXPECT_EQ(entries, contents.empty() ? 0 : 1) << "temporary file left behind or missing";
        if (contents.empty()) continue;
        const auto bytes = test::ReadBytes(path);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), contents);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.modeAfter ? c.modeAfter : 0666 & ~UmaskBySettingIt());
        EXPECT_EQ(st.st_gid, c.groupAfter);
    }
}

std::vector<std::string> Listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A process id that is certainly gone: a child that has ended and been reaped.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// While it is written the new file is hidden beside its target under a name that says
// whose it is; afterwards only the target is there, with or without the commit.
TEST(PendingFile, TheTemporaryFileIsHiddenAndNamedAsOurs) {
    test::TempDir dir;
    const std::string target = dir.file("take.wav");
    const uint8_t bytes[] = {'n', 'e', 'w'};
    {
        PendingFile file(target);
        ASSERT_TRUE(file.Ok());
        const auto names = Listing(dir.path());
        ASSERT_EQ(names.size(), 1u);
        const std::string prefix = ".take.wav." + std::to_string(::getpid()) + ".";
        EXPECT_TRUE(names[0].starts_with(prefix) && names[0].ends_with(".sonvira-tmp") &&
                    names[0].size() == prefix.size() + 6 + 12) << names[0];
        ASSERT_TRUE(file.Write(bytes, sizeof bytes));
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"take.wav"}));
    {
        PendingFile abandoned(target);
        ASSERT_TRUE(abandoned.Write(bytes, 1));
    }
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"take.wav"}));
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'n', 'e', 'w'}));
}

// A file meant to be made once (the first start's table) never replaces one that another
// copy made meanwhile and may already be using.
TEST(PendingFile, MadeOnlyWhereNoneIsAnotherCopysFileStays) {
    test::TempDir dir;
    const std::string target = dir.file("translate.dbf");
    const uint8_t mine[] = {'m'};
    {
        PendingFile file(target);
        ASSERT_TRUE(file.Write(mine, sizeof mine));
        test::WriteBytes(target, {'t'});  // the other copy's, made in the meantime
        EXPECT_FALSE(file.CommitIfAbsent());
    }
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'t'}));
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"translate.dbf"});

    std::filesystem::remove(target);
    {
        PendingFile file(target);
        ASSERT_TRUE(file.Write(mine, sizeof mine));
        EXPECT_TRUE(file.CommitIfAbsent());
    }
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'m'}));
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"translate.dbf"});
}

TEST(PendingFile, NewFilesFollowTheUmaskWhichIsReadWithoutChangingIt) {
    const mode_t before = ::umask(022);
    for (const mode_t mask : {022, 077, 002, 027}) {
        ::umask(mask);
        EXPECT_EQ(CurrentUmask(), mask);
        EXPECT_EQ(UmaskBySettingIt(), mask) << "left as it was";
        test::TempDir dir;
        PendingFile file(dir.file("new.wav"));
        ASSERT_TRUE(file.Commit());
        struct stat st {};
        ASSERT_EQ(::stat(dir.file("new.wav").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
    }
    ::umask(before);
}

TEST(PendingFile, LeftoversOfEndedCopiesAreRemovedOthersStay) {
    test::TempDir dir;
    const std::string ended = std::to_string(EndedProcess()), running = std::to_string(::getppid());
    const std::string removed[] = {".settings.conf." + ended + ".a1B2c3.sonvira-tmp",
                                   ".options.dat." + ended + ".XyZ789.sonvira-tmp"};
    const std::string kept[] = {
        ".settings.conf." + running + ".a1B2c3.sonvira-tmp",                 // a copy still saving
        ".settings.conf." + std::to_string(::getpid()) + ".a1B2c3.sonvira-tmp",  // this one
        "settings.conf." + ended + ".a1B2c3.sonvira-tmp",                    // not hidden: not ours
        ".notes." + ended + ".a1B2c3.tmp",                                   // another suffix
        ".notes.sonvira-tmp",                                                // no process
        "settings.conf",
    };
    for (const auto& name : removed) test::WriteBytes(dir.file(name), {1});
    for (const auto& name : kept) test::WriteBytes(dir.file(name), {1});
    const std::string folderNamedSo = ".dir." + ended + ".a1B2c3.sonvira-tmp";
    std::filesystem::create_directory(dir.file(folderNamedSo));

    RemoveLeftoverTempFiles(dir.path().string());
    std::vector<std::string> expected(std::begin(kept), std::end(kept));
    expected.push_back(folderNamedSo);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Listing(dir.path()), expected);
}

std::vector<std::string> SystemCalls(const std::string& traceFile, const std::vector<std::string>& wanted) {
    std::vector<std::string> calls;
    std::ifstream trace(traceFile);
    for (std::string line; std::getline(trace, line);) {
        const std::size_t start = line.find_first_not_of("0123456789 ");
        const std::size_t paren = line.find('(', start);
        if (start == std::string::npos || paren == std::string::npos) continue;
        const std::string call = line.substr(start, paren - start);
        for (const auto& name : wanted)
            if (call.starts_with(name)) calls.push_back(name);
    }
    return calls;
}

// A power cut must find the old file or the new one whole: the new file reaches the disk
// before the rename, and the folder that holds the rename after it.
TEST(PendingFile, FlushesTheFileBeforeTheRenameAndTheFolderAfter) {
    if (!test::HaveTool("strace")) GTEST_SKIP() << "strace is not installed";
    test::TempDir dir;
    const std::string trace = dir.file("trace"), target = dir.file("take.wav");
    // LeakSanitizer's own tracing cannot run under strace.
    test::RunCommand("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o " + test::ShellQuoted(trace) +
                         " -e trace=fsync,fdatasync,rename,renameat,renameat2 " SONVIRA_SAVE_ONCE " " +
                         test::ShellQuoted(target) + " new",
                     60);
    EXPECT_EQ(SystemCalls(trace, {"fsync", "fdatasync", "rename"}),
              (std::vector<std::string>{"fsync", "rename", "fsync"}));
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'n', 'e', 'w'}));
}

// Killed at any moment of a save, a copy leaves the old file or the new one, whole; the
// temporary file it may leave goes at the next start.
TEST(PendingFile, AKillAtAnyMomentLeavesTheOldOrTheNewFileWhole) {
    test::TempDir dir;
    const std::string target = dir.file("settings.conf");
    const std::vector<uint8_t> versions[] = {std::vector<uint8_t>(64 * 1024, 'a'), std::vector<uint8_t>(96 * 1024, 'b')};
    test::WriteBytes(target, versions[0]);
    int whole = 0;
    test::KillDuringSaves(
        200,
        [&](unsigned i) {
            PendingFile file(target);
            const auto& bytes = versions[i % 2 == 0 ? 1 : 0];
            if (file.Write(bytes.data(), bytes.size())) file.Commit();
        },
        [&] {
            const auto bytes = test::ReadBytes(target);
            whole += bytes == versions[0] || bytes == versions[1];
            RemoveLeftoverTempFiles(dir.path().string());
            EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"settings.conf"});
        });
    EXPECT_EQ(whole, 200);
}

}  // namespace
}  // namespace sonvira
