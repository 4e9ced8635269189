// options.dat is replaced as a whole like every other file: a copy killed while writing it
// leaves the old language or the new one, never an empty file.

#include "OptionsFile.h"
#include "PendingFile.h"

#include "KillDuringSaves.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace sonvira {
namespace {

TEST(OptionsFile, AKillWhileWritingLeavesTheOldOrTheNewLanguage) {
    test::TempDir dir;
    const std::string path = dir.file("options.dat");
    ASSERT_TRUE(WriteLanguageIndex(path, 1));
    int whole = 0;
    test::KillDuringSaves(
        200, [&](unsigned i) { WriteLanguageIndex(path, i % 2 == 0 ? 2 : 1); },
        [&] {
            const auto index = ReadStoredLanguageIndex(path);
            whole += index == 1 || index == 2;
            RemoveLeftoverTempFiles(dir.path().string());  // as the next start does
        });
    EXPECT_EQ(whole, 200);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing left beside it";
}

// Another name for the same file (a hard link) keeps the old contents: the file is
// replaced, not written in place.
TEST(OptionsFile, IsReplacedNotWrittenInPlace) {
    test::TempDir dir;
    const std::string path = dir.file("options.dat");
    ASSERT_TRUE(WriteLanguageIndex(path, 1));
    std::filesystem::create_hard_link(path, dir.file("before.dat"));
    ASSERT_TRUE(WriteLanguageIndex(path, 2));
    EXPECT_EQ(ReadStoredLanguageIndex(path), 2);
    EXPECT_EQ(ReadStoredLanguageIndex(dir.file("before.dat")), 1);
}

}  // namespace
}  // namespace sonvira
