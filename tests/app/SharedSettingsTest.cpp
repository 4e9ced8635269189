// Copies of the program running at once share settings.conf: each save joins what the
// others saved meanwhile instead of writing back a stale copy.

#include "ChildProcess.h"
#include "FileMemory.h"
#include "KillDuringSaves.h"
#include "PendingFile.h"
#include "ProgramSettings.h"
#include "RecentFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace sonvira {
namespace {

using Paths = std::vector<std::string>;
constexpr char kHighQuality[] = "playback.high_quality";
const FileStamp kStamp{1, 1};

// One running copy as the window uses the file: it reads it at the start, and each open
// remembers the file's place and adds it to the recent list, then saves.
struct Copy {
    explicit Copy(const std::string& path) : settings(LoadProgramSettings(path)) {
        recent.Load(settings);
        memory.Load(settings);
    }
    bool Open(const std::string& file, int32_t where) {
        memory.Remember(file, kStamp, FilePlace{where, where, 1, 0, 1.0, 1.0});
        recent.Add(file);
        recent.Store(settings);
        memory.Store(settings);
        if (!settings.Save()) return false;
        recent.Load(settings);
        memory.Load(settings);
        return true;
    }
    bool Tick(bool on) {
        settings.SetBool(kHighQuality, on);
        return settings.Save();
    }
    SettingsFile settings;
    RecentFiles recent;
    FileMemory memory;
};

struct Step {
    char copy;         // 'A' or 'B'
    const char* file;  // opens this file (its place: `where`) …
    int32_t where;
    bool tick;         // … or, without a file, ticks "Hohe Klangqualität" to `tick`
};

TEST(SharedSettings, InterleavedCopiesLoseNoFileNoPlaceAndNoTick) {
    const struct {
        const char* name;
        std::vector<Step> steps;
        Paths recent;
        std::map<std::string, int32_t> places;
        bool highQuality;
    } cases[] = {
        {"A opens, then B ticks", {{'A', "/a1", 1, false}, {'B', nullptr, 0, true}}, {"/a1"}, {{"/a1", 1}}, true},
        {"B ticks, then A opens", {{'B', nullptr, 0, true}, {'A', "/a1", 1, false}}, {"/a1"}, {{"/a1", 1}}, true},
        {"B's later tick stands against A's earlier one",
         {{'A', nullptr, 0, true}, {'B', nullptr, 0, false}, {'A', "/a1", 1, false}}, {"/a1"}, {{"/a1", 1}}, false},
        {"opens alternate",
         {{'A', "/a1", 1, false}, {'B', "/b1", 2, false}, {'A', "/a2", 3, false}, {'B', "/b2", 4, false}},
         {"/b2", "/a2", "/b1", "/a1"},
         {{"/a1", 1}, {"/b1", 2}, {"/a2", 3}, {"/b2", 4}},
         false},
        {"eight at most, the newest",
         {{'A', "/a1", 1, false}, {'A', "/a2", 2, false}, {'A', "/a3", 3, false}, {'A', "/a4", 4, false},
          {'B', "/b1", 5, false}, {'B', "/b2", 6, false}, {'B', "/b3", 7, false}, {'B', "/b4", 8, false},
          {'A', "/a5", 9, false}},
         {"/a5", "/b4", "/b3", "/b2", "/b1", "/a4", "/a3", "/a2"},
         {{"/a1", 1}, {"/a2", 2}, {"/a3", 3}, {"/a4", 4}, {"/a5", 9}, {"/b1", 5}, {"/b2", 6}, {"/b3", 7}, {"/b4", 8}},
         false},
        {"one file in both: the place left later wins",
         {{'A', "/x", 1, false}, {'B', "/x", 2, false}, {'A', nullptr, 0, true}, {'A', "/y", 3, false}},
         {"/y", "/x"},
         {{"/x", 2}, {"/y", 3}},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::string path = dir.file("settings.conf");
        Copy a(path), b(path);
        for (const Step& step : c.steps) {
            Copy& copy = step.copy == 'A' ? a : b;
            ASSERT_TRUE(step.file ? copy.Open(step.file, step.where) : copy.Tick(step.tick));
        }
        const Copy next(path);  // the next start
        EXPECT_EQ(next.recent.Paths(), c.recent);
        for (const auto& [file, where] : c.places)
            EXPECT_EQ(next.memory.Recall(file, kStamp), (FilePlace{where, where, 1, 0, 1.0, 1.0})) << file;
        EXPECT_EQ(next.settings.GetBool(kHighQuality, false), c.highQuality);
    }
}

// A file an older version wrote (entries without times) stays readable; its entries count
// as older than anything opened since.
TEST(SharedSettings, EntriesOfAnOlderVersionStayBehindNewOnes) {
    test::TempDir dir;
    const std::string path = dir.file("settings.conf");
    const std::string old = "place.1=1 1 7 7 1 0 1 1 /old1\nrecent.1=/old1\nrecent.2=/old2\n";
    test::WriteBytes(path, std::vector<uint8_t>(old.begin(), old.end()));
    Copy a(path), b(path);
    ASSERT_TRUE(a.Open("/new", 3));
    ASSERT_TRUE(b.Tick(true));
    const Copy next(path);
    EXPECT_EQ(next.recent.Paths(), (Paths{"/new", "/old1", "/old2"}));
    EXPECT_EQ(next.memory.Recall("/old1", kStamp), (FilePlace{7, 7, 1, 0, 1.0, 1.0}));
    EXPECT_EQ(next.memory.Recall("/new", kStamp), (FilePlace{3, 3, 1, 0, 1.0, 1.0}));
}

// Two processes saving as fast as they can: the lock makes each read-join-write whole.
TEST(SharedSettings, TwoProcessesSavingAtOnceLoseNothing) {
    test::TempDir dir;
    const std::string path = dir.file("settings.conf");
    constexpr int kRounds = 40;
    const auto fileOf = [](int copy, int round) { return "/copy" + std::to_string(copy) + "/" + std::to_string(round); };
    ASSERT_TRUE(test::RunTogether(2, [&](int index) {
        Copy copy(path);
        for (int round = 0; round < kRounds; ++round) {
            copy.settings.Set("copy" + std::to_string(index) + ".rounds", std::to_string(round + 1));
            if (!copy.Open(fileOf(index, round), round)) return false;
        }
        return true;
    }));
    const Copy next(path);
    for (int index = 0; index < 2; ++index) {
        EXPECT_EQ(next.settings.Get("copy" + std::to_string(index) + ".rounds"), std::to_string(kRounds));
        for (int round = 0; round < kRounds; ++round)
            EXPECT_EQ(next.memory.Recall(fileOf(index, round), kStamp), (FilePlace{round, round, 1, 0, 1.0, 1.0}));
    }
    const Paths recent = next.recent.Paths();
    ASSERT_EQ(recent.size(), RecentFiles::kMax);
    EXPECT_TRUE(recent.front() == fileOf(0, kRounds - 1) || recent.front() == fileOf(1, kRounds - 1)) << recent.front();
}

// A copy killed while saving leaves the file whole and its lock free; the next start finds
// nothing of it beside the file.
TEST(SharedSettings, ACopyKilledWhileSavingLeavesTheFileWholeAndUnlocked) {
    test::TempDir dir;
    const std::string path = dir.file("settings.conf");
    const std::string note(4000, 'x');  // a file of some size, so that kills land inside writes
    {
        SettingsFile first(path);
        first.Set("check", "first");
        first.Set("note", note + "first");
        ASSERT_TRUE(first.Save());
    }
    int whole = 0, changed = 0;
    test::KillDuringSaves(
        200,
        [&](unsigned i) {
            SettingsFile settings(path);
            settings.Load();
            settings.Set("note", note + std::to_string(i % 2));
            settings.Set("check", std::to_string(i % 2));
            settings.Save();
        },
        [&] {
            SettingsFile settings(path);
            const auto check = settings.Load() ? settings.Get("check") : std::nullopt;
            whole += check && settings.Get("note") == note + *check;
            changed += check != "first";
        },
        std::chrono::milliseconds(20));
    Copy next(path);  // never waits for a lock the killed copies held
    RemoveLeftoverTempFiles(dir.path().string());
    ASSERT_TRUE(next.Tick(true));
    EXPECT_EQ(whole, 200);
    EXPECT_GT(changed, 0) << "the killed copies did save";
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (Paths{"settings.conf", "settings.conf.lock"}));
}

}  // namespace
}  // namespace sonvira
