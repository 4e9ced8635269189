#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <limits>

#include "FileProblem.h"
#include "TempDir.h"
#include "UnprivilegedUser.h"

namespace sonvira {
namespace {

namespace fs = std::filesystem;

struct FileProblemFixture : ::testing::Test {
    test::TempDir dir;
    FileProblemFixture() {
        test::WriteBytes(dir.file("sound.wav"), {1, 2, 3});
        test::WriteBytes(dir.file("empty.wav"), {});
        fs::create_directories(dir.file("folder"));
    }
};

TEST_F(FileProblemFixture, ReadingAndWritingSayWhatTheFileSystemShows) {
    const struct {
        bool write;
        std::string path;
        FileProblem problem;
    } cases[] = {
        {false, dir.file("sound.wav"), FileProblem::Unknown},
        {false, dir.file("gone.wav"), FileProblem::FileMissing},
        {false, dir.file("folder"), FileProblem::NotAFile},
        {false, dir.file("empty.wav"), FileProblem::Empty},
        {true, dir.file("sound.wav"), FileProblem::Unknown},
        {true, dir.file("new.wav"), FileProblem::Unknown},
        {true, dir.file("no/such/folder/x.wav"), FileProblem::FolderMissing},
        {true, dir.file("sound.wav/x.wav"), FileProblem::FolderMissing},
        {true, dir.file("folder"), FileProblem::NotAFile},
    };
    for (const auto& c : cases) {
        const FileProblem seen = c.write ? WhyNotWritten(c.path, 100) : WhyNotReadable(c.path);
        EXPECT_EQ(seen, c.problem) << (c.write ? "writing " : "reading ") << c.path;
    }
    EXPECT_EQ(WhyNotWritten(dir.file("new.wav"), std::numeric_limits<uint64_t>::max()), FileProblem::DiskFull);
}

// Permissions bind only an ordinary user.
TEST_F(FileProblemFixture, PermissionsAsAnOrdinaryUser) {
    fs::create_directories(dir.file("open"));
    test::WriteBytes(dir.file("open/protected.wav"), {1});
    test::WriteBytes(dir.file("open/secret.wav"), {1});
    fs::create_directories(dir.file("closed"));
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(dir.file("open").c_str(), 0777);
    ::chmod(dir.file("open/protected.wav").c_str(), 0444);
    ::chmod(dir.file("open/secret.wav").c_str(), 0600);
    ::chmod(dir.file("closed").c_str(), 0755);
    const std::string report = test::RunAsUnprivilegedUser([&] {
        std::string seen;
        seen += FileProblemText(WhyNotWritten(dir.file("open/protected.wav"), 1)) + std::string("|");
        seen += FileProblemText(WhyNotWritten(dir.file("closed/new.wav"), 1)) + std::string("|");
        seen += FileProblemText(WhyNotReadable(dir.file("open/secret.wav")));
        return seen;
    });
    EXPECT_EQ(report,
              "Die vorhandene Datei ist schreibgeschützt.|Sie dürfen in diesem Ordner keine Dateien anlegen.|"
              "Sie dürfen diese Datei nicht lesen.");
}

}  // namespace
}  // namespace sonvira
