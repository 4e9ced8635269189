#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PendingFile.h"
#include "TempDir.h"
#include "UnprivilegedUser.h"

namespace sonvira {
namespace {

using test::kUnprivilegedGroup;
using test::kUnprivilegedUser;

constexpr gid_t kUsersGroup = 100;
constexpr gid_t kRootGroup = 0;

mode_t CurrentUmask() {
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
        EXPECT_EQ(st.st_mode & 07777, c.modeAfter ? c.modeAfter : 0666 & ~CurrentUmask());
        EXPECT_EQ(st.st_gid, c.groupAfter);
    }
}

}  // namespace
}  // namespace sonvira
