#include "SettingsFile.h"

#include "TempDir.h"
#include "UnprivilegedUser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

namespace sonvira {
namespace {

std::string Text(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }
std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(SettingsFile, KeepsWhatItDoesNotKnowAndSavesWhole) {
    test::TempDir dir;
    const std::string path = dir.file("settings.conf");
    test::WriteBytes(path, Bytes("later.version.key=some value\nplayback.high_quality=false\n"));
    SettingsFile settings(path);
    ASSERT_TRUE(settings.Load());
    EXPECT_FALSE(settings.GetBool("playback.high_quality", true));
    settings.SetBool("playback.high_quality", true);
    settings.Set("bad key", "x");          // not a key: not stored
    settings.Set("two.lines", "a\nb");     // not one line: not stored
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(Text(test::ReadBytes(path)), "later.version.key=some value\nplayback.high_quality=true\n");

    SettingsFile missing(dir.file("none.conf"));
    EXPECT_FALSE(missing.Load());
    EXPECT_TRUE(missing.GetBool("playback.high_quality", true));
    EXPECT_FALSE(missing.GetBool("playback.high_quality", false));
}

// A damaged line is skipped and left out of the next save; the other lines still count.
// Only a file too large to be ours is ignored as a whole.
TEST(SettingsFile, DamagedLinesAreSkippedAndLeftOut) {
    const struct {
        const char* name;
        std::string content;
        bool read;
        std::string saved;  // after ticking the check box
    } cases[] = {
        {"NUL byte", std::string("recent.1=/a.wav\nnote=x\0y\nplayback.high_quality=false\n", 53), true,
         "playback.high_quality=true\nrecent.1=/a.wav\n"},
        {"line without =", "recent.1=/a.wav\ngarbage\nplayback.high_quality=false\n", true,
         "playback.high_quality=true\nrecent.1=/a.wav\n"},
        {"key with a blank", "recent.1=/a.wav\nplayback high_quality=true\n", true,
         "playback.high_quality=true\nrecent.1=/a.wav\n"},
        {"carriage return", "recent.1=/a.wav\r\n", true, "playback.high_quality=true\n"},
        {"over 1 MiB", "recent.1=/a.wav\nnote=" + std::string(1024 * 1024, 'x') + "\n", false,
         "playback.high_quality=true\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.file("settings.conf");
        test::WriteBytes(path, Bytes(c.content));
        SettingsFile settings(path);
        EXPECT_EQ(settings.Load(), c.read);
        EXPECT_EQ(settings.Get("recent.1").has_value(), c.saved.find("recent.1") != std::string::npos);
        settings.SetBool("playback.high_quality", true);
        ASSERT_TRUE(settings.Save());
        EXPECT_EQ(Text(test::ReadBytes(path)), c.saved);
    }
}

// A write-protected settings file is not replaced behind the user's back.
TEST(SettingsFile, WriteProtectedFileIsLeftAsItIs) {
    test::TempDir dir;
    const std::string path = dir.file("settings.conf");
    test::WriteBytes(path, Bytes("playback.high_quality=false\n"));
    ::chmod(path.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0777);
    const std::string outcome = test::RunAsUnprivilegedUser([&] {
        SettingsFile settings(path);
        settings.Load();
        settings.SetBool("playback.high_quality", true);
        return std::string(settings.Save() ? "saved" : "refused");
    });
    EXPECT_EQ(outcome, "refused");
    EXPECT_EQ(Text(test::ReadBytes(path)), "playback.high_quality=false\n");
}

}  // namespace
}  // namespace sonvira
