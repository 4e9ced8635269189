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

// A damaged file is ignored as a whole (nothing half-read) and written afresh.
TEST(SettingsFile, DamagedFileIsIgnoredAndRewritten) {
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"NUL byte", std::string("playback.high_quality=true\n\0", 28)},
        {"line without =", "playback.high_quality=true\ngarbage\n"},
        {"key with a blank", "playback high_quality=true\n"},
        {"over 1 MiB", "playback.high_quality=true\nnote=" + std::string(1024 * 1024, 'x') + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.file("settings.conf");
        test::WriteBytes(path, Bytes(c.content));
        SettingsFile settings(path);
        EXPECT_FALSE(settings.Load());
        EXPECT_FALSE(settings.GetBool("playback.high_quality", false));
        settings.SetBool("playback.high_quality", true);
        ASSERT_TRUE(settings.Save());
        EXPECT_EQ(Text(test::ReadBytes(path)), "playback.high_quality=true\n");
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
