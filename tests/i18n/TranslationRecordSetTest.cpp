#include "RecordFilter.h"
#include "TranslationContext.h"
#include "TranslationRecordSet.h"
#include "Win1252.h"

#include "DbfFixture.h"
#include "RunCommand.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sonvira {
namespace {

using test::ReadBytes;
using test::RunCommand;
using test::TempDir;

std::vector<std::string> Fields(std::initializer_list<std::pair<int, std::string>> cells) {
    std::vector<std::string> fields(19);
    for (const auto& [i, v] : cells) fields[static_cast<std::size_t>(i)] = Utf8ToWin1252(v);
    return fields;
}

TEST(RecordFilter, LettersAToZIgnoreCaseEverythingElseIsExact) {
    const struct {
        std::vector<std::string> record;
        const char* search;
        bool shown;
    } cases[] = {
        {Fields({{0, "Datei"}}), "datei", true},
        {Fields({{0, "DATEI"}}), "datei", true},
        {Fields({{0, "Öffnen"}, {7, "Neue DATEI"}}), "datei", true},   // any column
        {Fields({{18, "dateiname"}}), "DATEI", true},                  // the 19th column too
        {Fields({{0, "Datum"}}), "datei", false},
        {Fields({{0, "Über das Programm"}}), "über", false},           // umlauts keep their case
        {Fields({{0, "über"}}), "über", true},
        {Fields({{0, "ÜBER"}}), "Über", true},
        {Fields({{0, "Öffnen"}}), "", true},                           // empty search: all
        {Fields({}), "", true},
        {Fields({{2, "Fichier"}}), "chi", true},
    };
    for (const auto& c : cases) {
        const std::string search = UpperAsciiLetters(Utf8ToWin1252(c.search));
        EXPECT_EQ(RecordMatchesSearch(c.record, search), c.shown) << c.search;
    }
    // Only the 19 language columns are searched.
    std::vector<std::string> twenty(20);
    twenty[19] = "Datei";
    EXPECT_FALSE(RecordMatchesSearch(twenty, "DATEI"));
}

struct RecordSetFixture : ::testing::Test {
    TempDir dir;
    TranslationContext translation;
    std::string search;

    void SetUp() override {
        translation.OpenTranslationTable(dir.file("translate.dbf"));
        for (const char* german : {"Datei", "Öffnen...", "Ende", "Hilfe"}) {
            const std::string row[] = {Utf8ToWin1252(german)};
            translation.Table().AppendRecord(row);
        }
    }
    TDbfTable& Table() { return translation.Table(); }
    std::vector<uint8_t> File() { return ReadBytes(dir.file("translate.dbf")); }
    std::vector<std::string> German(const TranslationRecordSet& set) {
        std::vector<std::string> out;
        for (int r = 0; r < set.RowCount(); ++r) out.push_back(Win1252ToUtf8(set.Value(r, 0)));
        return out;
    }
};

// Posting by moving away from a changed row, by Post, and cancelling, as another reader
// of the file sees them.
TEST_F(RecordSetFixture, ChangesReachTheFileWhenPostedAndNotBefore) {
    TranslationRecordSet set(Table());
    ASSERT_EQ(set.CurrentRow(), 0);
    const auto before = File();
    ASSERT_TRUE(set.SetField(1, "File"));
    EXPECT_EQ(set.State(), RecordSetState::Edit);
    EXPECT_EQ(set.Value(0, 1), "File");
    EXPECT_EQ(File(), before) << "nothing is written before the post";
    ASSERT_TRUE(set.Next());  // leaving the changed row posts it
    EXPECT_EQ(set.State(), RecordSetState::Browse);
    EXPECT_EQ(Table().Value(1, 1), "File");

    ASSERT_TRUE(set.SetField(1, "Open..."));
    ASSERT_TRUE(set.SetField(2, "Ouvrir..."));
    ASSERT_TRUE(set.Post());

    set.Last();
    ASSERT_TRUE(set.SetField(1, "Help"));
    set.Cancel();
    EXPECT_EQ(set.Value(3, 1), "");
    EXPECT_EQ(Table().Value(4, 1), "");

    // An unchanged edit is left without a write.
    const auto settled = File();
    ASSERT_TRUE(set.Edit());
    ASSERT_TRUE(set.First());
    EXPECT_EQ(File(), settled);

    const std::string out = RunCommand("dbfdump -m " + dir.file("translate.dbf") + " 2>&1");
    if (out.find("LANGUAGE1") == std::string::npos) GTEST_SKIP() << "dbfdump is not installed";
    EXPECT_NE(out.find("LANGUAGE2: File"), std::string::npos);
    EXPECT_NE(out.find("LANGUAGE2: Open..."), std::string::npos);
    EXPECT_NE(out.find("LANGUAGE3: Ouvrir..."), std::string::npos);
    EXPECT_EQ(out.find("LANGUAGE2: Help"), std::string::npos);
}

TEST_F(RecordSetFixture, InsertAppendsOnlyWhatWasTypedAndDeleteMarksTheRecord) {
    TranslationRecordSet set(Table());
    const auto before = File();
    ASSERT_TRUE(set.Insert());
    EXPECT_EQ(set.RowCount(), 5);
    EXPECT_EQ(set.CurrentRow(), 4);
    EXPECT_EQ(set.RecordNoAt(4), 0u);
    ASSERT_TRUE(set.First());  // an untouched new row goes away unwritten
    EXPECT_EQ(set.RowCount(), 4);
    EXPECT_EQ(File(), before);

    ASSERT_TRUE(set.Insert());
    ASSERT_TRUE(set.SetField(0, "Neu"));
    ASSERT_TRUE(set.SetField(1, "New"));
    ASSERT_TRUE(set.Post());
    EXPECT_EQ(set.RecordNoAt(4), 5u);
    EXPECT_EQ(Table().RecordCount(), 5u);
    EXPECT_EQ(Table().Value(5, 1), "New");

    // Deleting the second row: the record stays in the file, marked; the row below moves up.
    ASSERT_TRUE(set.MoveTo(1));
    ASSERT_TRUE(set.Delete());
    EXPECT_TRUE(Table().IsDeleted(2));
    EXPECT_EQ(German(set), (std::vector<std::string>{"Datei", "Ende", "Hilfe", "Neu"}));
    EXPECT_EQ(set.CurrentRow(), 1);
    set.Last();
    ASSERT_TRUE(set.Delete());
    EXPECT_EQ(set.CurrentRow(), 2) << "deleting the last row makes the one above current";

    // Deleting a row being inserted only drops it.
    ASSERT_TRUE(set.Insert());
    ASSERT_TRUE(set.SetField(0, "Weg"));
    ASSERT_TRUE(set.Delete());
    EXPECT_EQ(Table().RecordCount(), 5u);

    // A fresh look at the table (the editor opened again) shows the same.
    TranslationRecordSet again(Table());
    EXPECT_EQ(German(again), (std::vector<std::string>{"Datei", "Ende", "Hilfe"}));

    const std::string out = RunCommand("dbfdump " + dir.file("translate.dbf") + " 2>&1");
    if (out.find("LANGUAGE1") == std::string::npos) GTEST_SKIP() << "dbfdump is not installed";
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 6) << out.substr(0, 200);
    std::size_t deleted = 0;
    for (std::size_t at = out.find("(DELETED)"); at != std::string::npos; at = out.find("(DELETED)", at + 1)) ++deleted;
    EXPECT_EQ(deleted, 2u);
}

// The filter reads the search text afresh at each test; switching it off shows all again.
TEST_F(RecordSetFixture, FilterShowsMatchingRecordsFromTheFirst) {
    Table().SetValue(4, 2, "Aide");
    TranslationRecordSet set(Table());
    set.SetSearchText([this] { return search; });
    search = "e";
    ASSERT_TRUE(set.SetFiltered(true));
    EXPECT_EQ(German(set), (std::vector<std::string>{"Datei", "Öffnen...", "Ende", "Hilfe"}));
    search = "aide";
    set.Last();
    ASSERT_TRUE(set.Refresh());
    EXPECT_EQ(German(set), (std::vector<std::string>{"Hilfe"}));
    EXPECT_EQ(set.CurrentRow(), 0);
    search = "nichts";
    ASSERT_TRUE(set.SetFiltered(true));
    EXPECT_EQ(set.RowCount(), 0);
    EXPECT_EQ(set.CurrentRow(), -1);
    EXPECT_FALSE(set.Edit());
    ASSERT_TRUE(set.SetFiltered(false));
    EXPECT_EQ(set.RowCount(), 4);
    EXPECT_EQ(set.CurrentRow(), 0);
}

TEST_F(RecordSetFixture, ReadOnlyTableRefusesEveryChangeAndIsNotWritten) {
    Table().Close();
    Table().SetReadOnly(true);
    Table().Open(dir.file("translate.dbf"));
    const auto before = File();
    TranslationRecordSet set(Table());
    EXPECT_FALSE(set.CanModify());
    EXPECT_EQ(set.RowCount(), 4);
    EXPECT_FALSE(set.Edit());
    EXPECT_FALSE(set.SetField(1, "File"));
    EXPECT_FALSE(set.Insert());
    EXPECT_FALSE(set.Delete());
    EXPECT_FALSE(set.LastError().empty());
    EXPECT_TRUE(set.Next());  // looking around still works
    EXPECT_EQ(set.State(), RecordSetState::Browse);
    EXPECT_EQ(File(), before);
}

}  // namespace
}  // namespace sonvira
