#include "FileMemory.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace sonvira {
namespace {

const FilePlace kPlace{1000, 52000, 64, 300, 0.5, 0.75};

TEST(FileMemory, RecallsOnlyTheSameStateOfTheSameFile) {
    FileMemory memory;
    const FileStamp stamp{12345, 1700000000123456789};
    memory.Remember("/music/solo.wav", stamp, kPlace);
    EXPECT_EQ(memory.Recall("/music/solo.wav", stamp), kPlace);
    EXPECT_EQ(memory.Recall("/music/solo.wav", FileStamp{12346, stamp.modified}), std::nullopt) << "size changed";
    EXPECT_EQ(memory.Recall("/music/solo.wav", FileStamp{stamp.size, stamp.modified + 1}), std::nullopt) << "touched";
    EXPECT_EQ(memory.Recall("/music/other.wav", stamp), std::nullopt);

    // Leaving the file again replaces its entry.
    const FilePlace later{0, 0, 1, 0, 2.0, 2.0};
    memory.Remember("/music/solo.wav", FileStamp{1, 2}, later);
    EXPECT_EQ(memory.Recall("/music/solo.wav", FileStamp{1, 2}), later);
    EXPECT_EQ(memory.Recall("/music/solo.wav", stamp), std::nullopt);
}

TEST(FileMemory, KeepsTheHundredMostRecentlyLeft) {
    FileMemory memory;
    for (int i = 0; i < 101; ++i) memory.Remember("/f" + std::to_string(i), FileStamp{1, 1}, kPlace);
    EXPECT_EQ(memory.Recall("/f0", FileStamp{1, 1}), std::nullopt);
    EXPECT_EQ(memory.Recall("/f1", FileStamp{1, 1}), kPlace);
    EXPECT_EQ(memory.Recall("/f100", FileStamp{1, 1}), kPlace);
}

// Through the settings file and back, exactly (factors included); a damaged entry is
// skipped and the others still count.
TEST(FileMemory, SurvivesTheSettingsFileAndSkipsDamagedEntries) {
    test::TempDir dir;
    const std::string path = dir.file("settings.conf");
    const FilePlace odd{-5, 2147483647, 1000000, 12, 0.1 + 0.2, 1.0 / 3};
    {
        SettingsFile settings(path);
        FileMemory memory;
        memory.Remember("/a b/c d.wav", FileStamp{1, -2}, kPlace);
        memory.Remember("/x=y/ü.mp3", FileStamp{18446744073709551615u, 9}, odd);
        memory.Store(settings);
        settings.Set("place.3", "1 2 3 4 5 6 0.5");             // too short
        settings.Set("place.4", "1 2 3 4 5 6 nan 1 /nan.wav");  // not a factor
        settings.Set("place.5", "1 2 3 4 5 6 0 1 /zero.wav");   // not a factor
        settings.Set("place.6", "1 2 3 4 5 6 1 1 ");            // no path
        settings.Set("place.7", "1 2 3 4 5 6 1 1 /good.wav");
        ASSERT_TRUE(settings.Save());
    }
    SettingsFile settings(path);
    ASSERT_TRUE(settings.Load());
    FileMemory memory;
    memory.Load(settings);
    EXPECT_EQ(memory.Recall("/a b/c d.wav", FileStamp{1, -2}), kPlace);
    EXPECT_EQ(memory.Recall("/x=y/ü.mp3", FileStamp{18446744073709551615u, 9}), odd);
    EXPECT_EQ(memory.Recall("/nan.wav", FileStamp{1, 2}), std::nullopt);
    EXPECT_EQ(memory.Recall("/zero.wav", FileStamp{1, 2}), std::nullopt);
    EXPECT_EQ(memory.Recall("/good.wav", FileStamp{1, 2}), (FilePlace{3, 4, 5, 6, 1.0, 1.0}));
}

TEST(FileMemory, StampFollowsTheFile) {
    test::TempDir dir;
    const std::string path = dir.file("take.wav");
    EXPECT_EQ(StampOf(path), std::nullopt);
    test::WriteBytes(path, {1, 2, 3});
    const auto first = StampOf(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size, 3u);
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
    const auto touched = StampOf(path);
    ASSERT_TRUE(touched);
    EXPECT_NE(*touched, *first);
}

}  // namespace
}  // namespace sonvira
