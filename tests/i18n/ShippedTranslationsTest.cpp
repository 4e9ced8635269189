#include "ShippedTranslations.h"
#include "TranslationContext.h"
#include "Win1252.h"

#include "DbfFixture.h"
#include "TempDir.h"
#include "UnprivilegedUser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace sonvira {
namespace {

using test::ReadBytes;
using test::TempDir;

std::vector<ShippedTranslation> Parse(const std::string& text) {
    std::istringstream in(text);
    return ReadShippedTranslations(in);
}

TEST(ShippedTranslations, RowsAreThreeTabSeparatedFieldsWithFewEscapes) {
    const auto rows = Parse(
        "# comment\n"
        "\n"
        "Datei\tFile\tFichier\n"
        "Zeile 1\\nZeile 2\tLine 1\\nLine 2\tLigne 1\\nLigne 2\r\n"
        "A\\\\B\\tC\tx\ty\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].French, "Fichier");
    EXPECT_EQ(rows[1].German, "Zeile 1\nZeile 2");
    EXPECT_EQ(rows[1].French, "Ligne 1\nLigne 2") << "a Windows line end is no part of the text";
    EXPECT_EQ(rows[2].German, "A\\B\tC");

    for (const char* bad : {"Datei\tFile\n", "Datei\tFile\tFichier\textra\n", "Datei\\x\tFile\tFichier\n",
                            "Datei\tFile\tFichier\\\n"}) {
        try {
            Parse(std::string("# one\n") + bad);
            ADD_FAILURE() << bad;
        } catch (const EShippedTranslationsError& e) {
            EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
        }
    }
}

TEST(ShippedTranslations, CheckFindsWhatWouldGoWrongInTheTable) {
    const struct {
        ShippedTranslation row;
        const char* problem;  // nullptr: none
    } cases[] = {
        {{"Öffnen...", "Open...", "Ouvrir…"}, nullptr},
        {{"Datei", "", "Fichier"}, "empty cell"},
        {{" Datei", "File", "Fichier"}, "blanks"},
        {{"Pfeil", "Arrow →", "Flèche"}, "Windows-1252"},
        {{"Schmal", "Narrow", "Étroit\u202F!"}, "Windows-1252"},
        {{"Lang", std::string(256, 'x'), "Long"}, "255"},
    };
    for (const auto& c : cases) {
        const auto problems = CheckShippedTranslations(std::span(&c.row, 1));
        if (!c.problem) {
            EXPECT_TRUE(problems.empty()) << c.row.German;
        } else {
            ASSERT_EQ(problems.size(), 1u) << c.row.German;
            EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
        }
    }
    const ShippedTranslation twice[] = {{"Datei", "File", "Fichier"}, {"Datei", "File", "Fichier"}};
    EXPECT_EQ(CheckShippedTranslations(twice).size(), 1u);
}

// A user's table keeps every cell the user filled and every record; only empty English and
// French cells are filled, and German texts it lacks are added. A second merge changes
// nothing at all.
TEST(ShippedTranslations, MergeKeepsWhatTheUserWroteAndASecondRunChangesNothing) {
    TempDir dir;
    TranslationContext translation;
    translation.OpenTranslationTable(dir.file("translate.dbf"));
    TDbfTable& table = translation.Table();
    const std::vector<std::vector<std::string>> user = {
        {"Datei", "My File", ""},            // English by the user, French empty
        {Utf8ToWin1252("Öffnen..."), "", "", "Abrir..."},  // a further column by the user
        {"Nur beim Benutzer", "User only", ""},
        {"Datei", "", "Mon fichier"},        // a second record of the same text
    };
    for (const auto& row : user) table.AppendRecord(row);
    const ShippedTranslation shipped[] = {
        {"Datei", "File", "Fichier"},
        {"Öffnen...", "Open...", "Ouvrir..."},
        {"Ende", "Exit", "Quitter"},
    };
    const MergeCount first = MergeShippedTranslations(table, shipped);
    EXPECT_EQ(first.Appended, 1u);
    EXPECT_EQ(first.Filled, 3u);
    const std::vector<std::vector<std::string>> expected = {
        {"Datei", "My File", "Fichier", ""},
        {Utf8ToWin1252("Öffnen..."), "Open...", "Ouvrir...", "Abrir..."},
        {"Nur beim Benutzer", "User only", "", ""},
        {"Datei", "File", "Mon fichier", ""},
        {"Ende", "Exit", "Quitter", ""},
    };
    ASSERT_EQ(table.RecordCount(), expected.size());
    for (uint32_t r = 1; r <= table.RecordCount(); ++r)
        for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(table.Value(r, c), expected[r - 1][c]) << r << "/" << c;

    const auto afterFirst = ReadBytes(dir.file("translate.dbf"));
    const MergeCount second = MergeShippedTranslations(table, shipped);
    EXPECT_EQ(second.Appended + second.Filled, 0u);
    EXPECT_EQ(ReadBytes(dir.file("translate.dbf")), afterFirst) << "not even the header's date";
}

// The program's own table: sound, and written by the build step into a fresh folder, then
// left alone on the next build; a table that can only be read is not touched.
TEST(ShippedTranslations, BuildStepMakesTheTableAndLeavesItAloneAfterwards) {
    std::ifstream source(SONVIRA_SHIPPED_TRANSLATIONS);
    ASSERT_TRUE(source) << SONVIRA_SHIPPED_TRANSLATIONS;
    const auto rows = ReadShippedTranslations(source);
    EXPECT_GT(rows.size(), 100u);
    for (const std::string& problem : CheckShippedTranslations(rows)) ADD_FAILURE() << problem;

    TempDir dir;
    const std::string table = dir.file("translate.dbf");
    const std::string step = std::string(SONVIRA_SHIP_TOOL) + " " + SONVIRA_SHIPPED_TRANSLATIONS + " " + table;
    ASSERT_EQ(std::system((step + " >/dev/null").c_str()), 0);
    {
        TranslationContext translation;
        translation.OpenTranslationTable(table);
        translation.BuildTranslationIndex();
        EXPECT_EQ(translation.Table().RecordCount(), rows.size());
        translation.SetLanguageIndex(1);
        EXPECT_EQ(translation.Translate("Öffnen..."), "Open...");
        translation.SetLanguageIndex(2);
        EXPECT_EQ(translation.Translate("Öffnen..."), "Ouvrir...");
    }
    const auto made = ReadBytes(table);
    ASSERT_EQ(std::system((step + " >/dev/null").c_str()), 0);
    EXPECT_EQ(ReadBytes(table), made);

    // A damaged table (its last record cut) opens read-only: the step warns and goes on.
    std::vector<uint8_t> cut(made.begin(), made.end() - 100);
    test::WriteBytes(table, cut);
    ASSERT_EQ(std::system((step + " 2>/dev/null").c_str()), 0);
    EXPECT_EQ(ReadBytes(table), cut);
    // So does a write-protected one, for a user who may not write it.
    test::WriteBytes(table, made);
    ::chmod(table.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0777);
    const std::string outcome = test::RunAsUnprivilegedUser([&] {
        return std::to_string(std::system((step + " 2>/dev/null").c_str()));
    });
    EXPECT_EQ(outcome, "0");
    EXPECT_EQ(ReadBytes(table), made);
}

}  // namespace
}  // namespace sonvira
