// Copies of the program running at once share translate.dbf: each finds the texts the other
// appended, no text is appended twice, no record is lost, and the file stays a table other
// tools read.

#include "ChildProcess.h"
#include "RunCommand.h"
#include "TempDir.h"
#include "TranslationContext.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace sonvira {
namespace {

constexpr int kTexts = 300;

std::string Own(int copy, int k) { return "Kopie " + std::to_string(copy) + " Text " + std::to_string(k); }
std::string English(int copy, int k) { return "Copy " + std::to_string(copy) + " text " + std::to_string(k); }
std::string Common(int k) { return "Gemeinsam " + std::to_string(k); }

// Waits (up to ten seconds) until `path` exists: the other copy's signal.
bool WaitForFile(const std::string& path) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(path))
        if (std::chrono::steady_clock::now() > end) return false;
        else std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return true;
}

// One copy: it meets its own texts and the common ones in turn, the translator enters an
// English text for each of its own, and once the other copy is done it shows the other's
// texts in English, without appending anything.
bool RunCopy(const test::TempDir& dir, int copy) {
    TranslationContext t;
    t.OpenTranslationTable(dir.file("translate.dbf"));
    t.BuildTranslationIndex();
    for (int k = 0; k < kTexts; ++k) {
        t.Translate(Own(copy, k));
        const uint32_t recordNo = t.Table().RecordCount();  // the record just appended
        const std::string values[] = {Own(copy, k), English(copy, k)};
        t.Table().WriteRecord(recordNo, values);
        t.Translate(Common(k));
    }
    std::ofstream(dir.file("done" + std::to_string(copy)));
    if (!WaitForFile(dir.file("done" + std::to_string(1 - copy)))) return false;
    t.SetLanguageIndex(1);
    const uint32_t count = t.Table().RefreshRecordCount();
    for (int k = 0; k < kTexts; ++k)
        if (t.Translate(Own(1 - copy, k)) != English(1 - copy, k)) return false;
    return t.Table().RefreshRecordCount() == count;
}

TEST(SharedTranslationTable, TwoCopiesAppendingAtOnceKeepEveryTextOnce) {
    test::TempDir dir;
    const std::string path = dir.file("translate.dbf");
    {
        TranslationContext maker;  // the table exists before the copies start
        maker.OpenTranslationTable(path);
    }
    ASSERT_TRUE(test::RunTogether(2, [&](int copy) { return RunCopy(dir, copy); }, std::chrono::seconds(60)));

    // An independent reader sees every text exactly once.
    const std::string dump = test::RunCommand("dbfdump -m " + test::ShellQuoted(path) + " 2>&1", 60);
    ASSERT_NE(dump.find("LANGUAGE1"), std::string::npos) << dump.substr(0, 500);
    std::map<std::string, int> seen;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("LANGUAGE1: ")) ++seen[line.substr(11, line.find_last_not_of(' ') - 10)];
    EXPECT_EQ(seen.size(), 3u * kTexts);
    for (int k = 0; k < kTexts; ++k)
        for (const std::string& text : {Own(0, k), Own(1, k), Common(k)}) EXPECT_EQ(seen[text], 1) << text;
}

// Two copies starting at once where no table is yet: both end up with the same one.
TEST(SharedTranslationTable, CopiesMakingTheTableAtOnceShareOne) {
    for (int round = 0; round < 20; ++round) {
        test::TempDir dir;
        const std::string path = dir.file("translate.dbf");
        ASSERT_TRUE(test::RunTogether(2, [&](int copy) {
            TranslationContext t;
            t.OpenTranslationTable(path);
            t.BuildTranslationIndex();
            t.Translate(Own(copy, round));
            return !t.Table().ReadOnly();
        })) << "round " << round;
        TDbfTable table;
        table.SetReadOnly(true);
        table.Open(path);
        EXPECT_FALSE(table.Damaged()) << table.DamageNote();
        ASSERT_EQ(table.RecordCount(), 2u) << "round " << round;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing left beside it";
    }
}

}  // namespace
}  // namespace sonvira
