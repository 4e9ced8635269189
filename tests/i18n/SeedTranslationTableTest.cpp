#include "SeedTranslationTable.h"
#include "TDbfTable.h"

#include "DbfFixture.h"
#include "TempDir.h"
#include "UnprivilegedUser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace sonvira {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Kind = SeedOutcome::Kind;

// A translation table as the program ships it: German, English, French and more columns.
std::vector<uint8_t> Table(std::vector<std::vector<std::string>> records, std::vector<bool> deleted = {}) {
    test::DbfLayout layout;
    layout.fields = test::LanguageFields();
    layout.records = std::move(records);
    layout.deleted = std::move(deleted);
    return test::BuildDbf(layout);
}

std::vector<std::vector<std::string>> LiveRows(const std::string& path) {
    TDbfTable table;
    table.SetReadOnly(true);
    table.Open(path);
    std::vector<std::vector<std::string>> rows;
    for (uint32_t r = 1; r <= table.RecordCount(); ++r) {
        if (table.IsDeleted(r)) continue;
        const auto values = table.Values(r);
        rows.push_back({values[0], values[1], values[2], values[3]});
    }
    return rows;
}

const std::vector<std::vector<std::string>> kShipped = {
    {"Datei", "File", "Fichier"},
    {"\xD6" "ffnen...", "Open...", "Ouvrir..."},  // Windows-1252, as stored
    {"Sprache", "Language", "Langue"},
};

TEST(SeedTranslationTable, AFirstStartGetsACopyOfTheShippedTable) {
    TempDir dir;
    WriteBytes(dir.file("shipped.dbf"), Table(kShipped));
    const SeedOutcome outcome = SeedTranslationTable(dir.file("shipped.dbf"), dir.file("translate.dbf"));
    EXPECT_EQ(outcome.kind, Kind::Copied) << outcome.note;
    EXPECT_EQ(ReadBytes(dir.file("translate.dbf")), ReadBytes(dir.file("shipped.dbf")));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"shipped.dbf", "translate.dbf"})) << "no temporary file left";
}

TEST(SeedTranslationTable, ALaterStartCompletesTheUsersTableAndKeepsWhatTheyWrote) {
    TempDir dir;
    WriteBytes(dir.file("shipped.dbf"), Table(kShipped));
    WriteBytes(dir.file("translate.dbf"), Table({
                                              {"Datei", "My file", "", "Bestand"},  // user's English, no French
                                              {"Sprache", "", "", ""},
                                              {"Eigener Text", "Own text", "", ""},
                                              {"\xD6" "ffnen...", "Deleted", "", ""},
                                          },
                                          {false, false, false, true}));
    const SeedOutcome outcome = SeedTranslationTable(dir.file("shipped.dbf"), dir.file("translate.dbf"));
    EXPECT_EQ(outcome.kind, Kind::Merged) << outcome.note;
    EXPECT_EQ(outcome.appended, 1u) << "the deleted record counts as absent";
    EXPECT_EQ(outcome.filled, 2u);
    const std::vector<std::vector<std::string>> expected = {
        {"Datei", "My file", "Fichier", "Bestand"},
        {"Sprache", "Language", "Langue", ""},
        {"Eigener Text", "Own text", "", ""},
        {"\xD6" "ffnen...", "Open...", "Ouvrir...", ""},
    };
    EXPECT_EQ(LiveRows(dir.file("translate.dbf")), expected);

    const auto before = ReadBytes(dir.file("translate.dbf"));
    EXPECT_EQ(SeedTranslationTable(dir.file("shipped.dbf"), dir.file("translate.dbf")).kind, Kind::Merged);
    EXPECT_EQ(ReadBytes(dir.file("translate.dbf")), before) << "the second start writes nothing";
}

TEST(SeedTranslationTable, NothingToSeedFromLeavesTheUserFolderAlone) {
    TempDir dir;
    for (const std::vector<uint8_t>& shipped : {std::vector<uint8_t>{}, std::vector<uint8_t>{'x', 'y'}}) {
        if (!shipped.empty()) WriteBytes(dir.file("shipped.dbf"), shipped);
        EXPECT_EQ(SeedTranslationTable(dir.file("shipped.dbf"), dir.file("translate.dbf")).kind,
                  Kind::NoShippedTable);
        EXPECT_FALSE(std::filesystem::exists(dir.file("translate.dbf")));
    }
}

TEST(SeedTranslationTable, ADamagedUsersTableIsLeftAsItIs) {
    TempDir dir;
    WriteBytes(dir.file("shipped.dbf"), Table(kShipped));
    test::DbfLayout lying;
    lying.fields = test::LanguageFields();
    lying.records = {{"Datei", "", ""}};
    lying.recordCount = 40;  // more records than the file holds
    WriteBytes(dir.file("translate.dbf"), test::BuildDbf(lying));
    const auto before = ReadBytes(dir.file("translate.dbf"));
    EXPECT_EQ(SeedTranslationTable(dir.file("shipped.dbf"), dir.file("translate.dbf")).kind, Kind::LeftAlone);
    EXPECT_EQ(ReadBytes(dir.file("translate.dbf")), before);
}

// File permissions bind only an ordinary user.
TEST(SeedTranslationTable, WhatTheUserMayNotWriteStaysUntouched) {
    TempDir dir;
    WriteBytes(dir.file("shipped.dbf"), Table(kShipped));
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string locked = dir.file("locked"), mine = dir.file("mine");
    std::filesystem::create_directories(locked);
    std::filesystem::create_directories(mine);
    WriteBytes(mine + "/translate.dbf", Table({{"Datei", "", ""}}));
    ASSERT_EQ(::chmod((mine + "/translate.dbf").c_str(), 0444), 0);
    ASSERT_EQ(::chown(mine.c_str(), test::kUnprivilegedUser, test::kUnprivilegedGroup), 0);
    ASSERT_EQ(::chown((mine + "/translate.dbf").c_str(), test::kUnprivilegedUser, test::kUnprivilegedGroup), 0);
    const auto before = ReadBytes(mine + "/translate.dbf");

    const std::string report = test::RunAsUnprivilegedUser([&] {
        const SeedOutcome intoLocked = SeedTranslationTable(dir.file("shipped.dbf"), locked + "/translate.dbf");
        const SeedOutcome intoProtected = SeedTranslationTable(dir.file("shipped.dbf"), mine + "/translate.dbf");
        return std::to_string(static_cast<int>(intoLocked.kind)) + " " +
               std::to_string(static_cast<int>(intoProtected.kind));
    });
    EXPECT_EQ(report, std::to_string(static_cast<int>(Kind::Failed)) + " " +
                          std::to_string(static_cast<int>(Kind::LeftAlone)));
    EXPECT_TRUE(std::filesystem::is_empty(locked)) << "no partial table";
    EXPECT_EQ(ReadBytes(mine + "/translate.dbf"), before);
}

}  // namespace
}  // namespace sonvira
