#include "RecentFiles.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonvira {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstNoDoublesAtMostEight) {
    RecentFiles recent;
    for (int i = 1; i <= 10; ++i) recent.Add("/music/take" + std::to_string(i) + ".wav");
    recent.Add("/music/take5.wav");  // opened again: moves to the top
    recent.Add("two\nlines.wav");    // cannot be kept in the settings file
    recent.Add("");
    EXPECT_EQ(recent.Paths(), (Paths{"/music/take5.wav", "/music/take10.wav", "/music/take9.wav", "/music/take8.wav",
                                     "/music/take7.wav", "/music/take6.wav", "/music/take4.wav", "/music/take3.wav"}));
}

// Stored and read back through the file; a shorter list leaves no stale entries behind,
// and hand-edited gaps or doubles in the file are skipped.
TEST(RecentFiles, SurviveTheSettingsFile) {
    test::TempDir dir;
    const std::string path = dir.file("settings.conf");
    {
        SettingsFile settings(path);
        RecentFiles recent;
        for (const char* p : {"/a.wav", "/b c.mp3", "/d=e.wav", "/f.wav", "/g.wav", "/h.wav", "/i.wav", "/j.wav"})
            recent.Add(p);
        recent.Store(settings);
        RecentFiles shorter;
        shorter.Add("/a.wav");
        shorter.Add("/ü ß.wav");
        shorter.Store(settings);
        ASSERT_TRUE(settings.Save());
    }
    SettingsFile settings(path);
    ASSERT_TRUE(settings.Load());
    RecentFiles read;
    read.Load(settings);
    EXPECT_EQ(read.Paths(), (Paths{"/ü ß.wav", "/a.wav"}));

    settings.Set("recent.1", "/x.wav");
    settings.Set("recent.2", "");
    settings.Set("recent.3", "/x.wav");
    settings.Set("recent.5", "/y.wav");
    read.Load(settings);
    EXPECT_EQ(read.Paths(), (Paths{"/x.wav", "/y.wav"}));
}

}  // namespace
}  // namespace sonvira
