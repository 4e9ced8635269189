#include "TranslationContext.h"
#include "Win1252.h"

#include "DbfFixture.h"
#include "TempDir.h"
#include "UnprivilegedUser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace sonvira {
namespace {

using test::BuildDbf;
using test::DbfLayout;
using test::LanguageFields;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Rows are UTF-8 here and go into the file as Windows-1252, as the program stores them.
std::string WriteTable(const TempDir& dir, const std::vector<std::vector<std::string>>& rows,
                       std::vector<bool> deleted = {}) {
    DbfLayout layout;
    layout.fields = LanguageFields();
    for (const auto& row : rows) {
        std::vector<std::string> converted;
        for (const auto& v : row) converted.push_back(Utf8ToWin1252(v));
        layout.records.push_back(converted);
    }
    layout.deleted = std::move(deleted);
    const std::string path = dir.file("translate.dbf");
    WriteBytes(path, BuildDbf(layout));
    return path;
}

std::vector<std::string> GermanColumn(const TDbfTable& table) {
    std::vector<std::string> out;
    for (uint32_t r = 1; r <= table.RecordCount(); ++r) out.push_back(Win1252ToUtf8(table.Value(r, 0)));
    return out;
}

std::vector<std::string> BucketTexts(TranslationContext& tr, unsigned char b) {
    std::vector<std::string> out;
    TDynaArray& bucket = tr.Bucket(b);
    for (uint32_t i = 0; i < bucket.Count(); ++i) {
        const auto* e = static_cast<const TranslationEntry*>(bucket.Get(static_cast<int32_t>(i)));
        out.emplace_back(e->Text, static_cast<std::size_t>(e->Length));
    }
    return out;
}

struct Started {
    TempDir dir;
    TranslationContext tr;
    explicit Started(const std::vector<std::vector<std::string>>& rows, int32_t language = 0) {
        tr.OpenTranslationTable(WriteTable(dir, rows));
        tr.BuildTranslationIndex();
        tr.SetLanguageIndex(language);
    }
};

TEST(Win1252, ConvertsBothWaysAtTheTableBoundary) {
    struct Case {
        std::string utf8;
        std::string win1252;
    };
    const Case cases[] = {
        {"Öffnen...", "\xD6" "ffnen..."},
        {"Français", "Fran\xE7" "ais"},
        {"Größer", "Gr\xF6\xDF" "er"},
        {"€ – “x”", "\x80 \x96 \x93x\x94"},
        {"\xC2\x81", "\x81"},  // undefined in the code page: kept through a round trip
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToWin1252(c.utf8), c.win1252) << c.utf8;
        EXPECT_EQ(Win1252ToUtf8(c.win1252), c.utf8) << c.utf8;
    }
    EXPECT_EQ(Utf8ToWin1252("a→b"), "a?b");          // no byte for it
    EXPECT_EQ(Utf8ToWin1252("a\xFF" "b"), "a?b");     // malformed
    EXPECT_EQ(Utf8ToWin1252("a\xC3"), "a?");          // cut off
    EXPECT_EQ(Utf8ToWin1252("\xE0\x80\xAF"), "?");    // an overlong "/" does not slip through
}

TEST(BuildTranslationIndex, BucketsHoldTheirTextsSortedByBytes) {
    Started s({{"Ende"}, {"Drucken"}, {"Datei"}, {""}, {"Öffnen..."}, {"Dat"}});
    EXPECT_EQ(BucketTexts(s.tr, 'D'), (std::vector<std::string>{"Dat", "Datei", "Drucken"}));
    EXPECT_EQ(BucketTexts(s.tr, 'E'), (std::vector<std::string>{"Ende"}));
    EXPECT_EQ(BucketTexts(s.tr, 0xD6), (std::vector<std::string>{"\xD6" "ffnen..."}));  // Windows-1252 Ö
    EXPECT_EQ(s.tr.Bucket(0).Count(), 0u);  // the empty key is not indexed
}

TEST(BuildTranslationIndex, SortsLargeBucketsInByteOrder) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 500; ++i) rows.push_back({"K" + std::to_string((i * 7919) % 1000)});
    rows.push_back({"K\xC3\xA4"});  // ä (0xE4) sorts after every digit and letter
    Started s(rows);
    const auto texts = BucketTexts(s.tr, 'K');
    ASSERT_EQ(texts.size(), 501u);
    EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end()));
    EXPECT_EQ(texts.back(), "K\xE4");
}

TEST(BuildTranslationIndex, SkipsDeletedRecords) {
    TempDir dir;
    TranslationContext tr;
    tr.OpenTranslationTable(WriteTable(dir, {{"Datei", "File"}, {"Datei", "Gone"}}, {false, true}));
    tr.BuildTranslationIndex();
    tr.SetLanguageIndex(1);
    EXPECT_EQ(BucketTexts(tr, 'D').size(), 1u);
    EXPECT_EQ(tr.Translate("Datei"), "File");
}

TEST(Translate, KeepsTheSourcesOuterBlanksAroundATrimmedTranslation) {
    struct Case {
        int32_t language;
        std::string english;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {1, "Open", "  Öffnen ", "  Open "},
        {1, "Open", "Öffnen", "Open"},
        {1, "", "  Öffnen ", "  Öffnen "},          // no translation yet: the source as it is
        {1, "   Open\t", " Öffnen", " Open"},       // the translation's own blanks and tab go
        {1, "Op en", "Öffnen  ", "Op en  "},        // inner blanks stay
        {0, "Open", "  Öffnen ", "  Öffnen "},      // German: the stored German text
        {2, "Open", " Öffnen", " Ouvrir"},
        {7, "Open", "Öffnen", "Öffnen"},            // an empty further column
    };
    for (const Case& c : cases) {
        Started s({{"Öffnen", c.english, "Ouvrir"}}, c.language);
        EXPECT_EQ(s.tr.Translate(c.source), c.expected) << c.language << " '" << c.source << "'";
        EXPECT_EQ(s.tr.Table().RecordCount(), 1u);
    }
}

TEST(Translate, UnknownTextIsAppendedOnceAndReturnedUnchanged) {
    Started s({{"Datei", "File"}}, 1);
    EXPECT_EQ(s.tr.Translate("  Neues Wort "), "  Neues Wort ");
    EXPECT_EQ(s.tr.Translate("Neues Wort"), "Neues Wort");
    ASSERT_EQ(s.tr.Table().RecordCount(), 2u);
    EXPECT_EQ(s.tr.Table().Value(2, 0), "Neues Wort");
    for (int32_t c = 1; c < 19; ++c) EXPECT_EQ(s.tr.Table().Value(2, c), "");
    // The appended text is found at the next start, too.
    TranslationContext next;
    next.OpenTranslationTable(s.dir.file("translate.dbf"));
    next.BuildTranslationIndex();
    next.Translate("Neues Wort");
    EXPECT_EQ(next.Table().RecordCount(), 2u);
}

TEST(Translate, EmptyAndBlankTextsComeBackAndAddNothing) {
    Started s({}, 1);
    EXPECT_EQ(s.tr.Translate(""), "");
    EXPECT_EQ(s.tr.Translate("   "), "   ");
    EXPECT_EQ(s.tr.Table().RecordCount(), 0u);
}

TEST(Translate, KeysDifferingInCaseAreDifferentTexts) {
    Started s({{"Datei", "File"}}, 1);
    EXPECT_EQ(s.tr.Translate("datei"), "datei");
    EXPECT_EQ(s.tr.Translate("DATEI"), "DATEI");
    EXPECT_EQ(s.tr.Translate("Datei"), "File");
    EXPECT_EQ(GermanColumn(s.tr.Table()), (std::vector<std::string>{"Datei", "datei", "DATEI"}));
}

TEST(Translate, TwoRecordsWithOneKeyAlwaysUseTheSameOne) {
    // The quicksort exchanges the two equal entries once, so the later record leads.
    Started s({{"Datei", "File one"}, {"Datei", "File two"}}, 1);
    EXPECT_EQ(s.tr.Translate("Datei"), "File two");
    EXPECT_EQ(s.tr.Translate(" Datei"), " File two");
}

// A record the translation editor deleted is never used again: the other record with the
// same text takes over, and a text left without a live record is appended anew.
TEST(Translate, DeletedRecordIsNoLongerUsedInThisRun) {
    Started s({{"Datei", "File one"}, {"Datei", "File two"}, {"Ende", "End"}}, 1);
    ASSERT_EQ(s.tr.Translate("Datei"), "File two");
    s.tr.Table().DeleteRecord(2);
    s.tr.Table().DeleteRecord(3);
    EXPECT_EQ(s.tr.Translate("Datei"), "File one");
    EXPECT_EQ(s.tr.Translate("Ende"), "Ende");
    EXPECT_EQ(GermanColumn(s.tr.Table()), (std::vector<std::string>{"Datei", "Datei", "Ende", "Ende"}));
    EXPECT_EQ(s.tr.Table().Value(4, 1), "");
    EXPECT_EQ(s.tr.Translate("Ende"), "Ende");
    EXPECT_EQ(s.tr.Table().RecordCount(), 4u) << "the new record is found from then on";
}

TEST(Translate, TextLongerThanTheFieldIsStoredCutAndFoundAgainNextStart) {
    const std::string longText = "Anfang " + std::string(300, 'x');
    Started s({}, 0);
    EXPECT_EQ(s.tr.Translate(longText), longText);  // German: the whole text, not the cut one
    EXPECT_EQ(s.tr.Translate(longText), longText);
    ASSERT_EQ(s.tr.Table().RecordCount(), 1u);
    EXPECT_EQ(s.tr.Table().Value(1, 0), longText.substr(0, 255));

    s.tr.Table().SetValue(1, 1, "Start");
    TranslationContext next;
    next.OpenTranslationTable(s.dir.file("translate.dbf"));
    next.BuildTranslationIndex();
    next.SetLanguageIndex(1);
    EXPECT_EQ(next.Translate(longText), "Start");
    EXPECT_EQ(next.Table().RecordCount(), 1u);  // not appended again at every start
}

TEST(Translate, LanguageIndexOutsideTheColumnsReadsAsGerman) {
    for (int32_t bad : {-1, 19, 1000}) {
        Started s({{"Datei", "File"}}, bad);
        EXPECT_EQ(s.tr.LanguageIndex(), 0) << bad;
        EXPECT_EQ(s.tr.Translate("Datei"), "Datei");
    }
}

TEST(Translate, TableWithFewerColumnsTranslatesWhatItHas) {
    TempDir dir;
    DbfLayout layout;
    layout.fields = {{"LANGUAGE1", 255}, {"LANGUAGE2", 255}};
    layout.records = {{"Datei", "File"}};
    WriteBytes(dir.file("translate.dbf"), BuildDbf(layout));
    TranslationContext tr;
    tr.OpenTranslationTable(dir.file("translate.dbf"));
    tr.BuildTranslationIndex();
    tr.SetLanguageIndex(1);
    EXPECT_EQ(tr.Translate("Datei"), "File");
    tr.SetLanguageIndex(2);
    EXPECT_EQ(tr.Translate("Datei"), "Datei");
    EXPECT_EQ(tr.Translate("Neu"), "Neu");
    EXPECT_EQ(tr.Table().RecordCount(), 2u);
}

TEST(Translate, ReadOnlyTableTranslatesButAppendsNothing) {
    TempDir dir;
    DbfLayout layout;
    layout.fields = LanguageFields();
    layout.records = {{"Datei", "File"}};
    layout.recordCount = 5;  // damaged: the table opens read-only
    const std::vector<uint8_t> bytes = BuildDbf(layout);
    WriteBytes(dir.file("translate.dbf"), bytes);
    TranslationContext tr;
    tr.OpenTranslationTable(dir.file("translate.dbf"));
    tr.BuildTranslationIndex();
    tr.SetLanguageIndex(1);
    ASSERT_TRUE(tr.Table().ReadOnly());
    EXPECT_EQ(tr.Translate("Datei"), "File");
    EXPECT_EQ(tr.Translate("Unbekannt"), "Unbekannt");
    EXPECT_EQ(tr.Translate("Unbekannt"), "Unbekannt");
    EXPECT_EQ(ReadBytes(dir.file("translate.dbf")), bytes);
}

// Opens a table the process may only read and reports what went wrong, or "" when the
// lookup works read-only: found texts translate, unknown ones stay and are not added.
std::string ReadOnlyFallbackProblems(const std::string& path) {
    TranslationContext tr;
    tr.OpenTranslationTable(path);
    tr.BuildTranslationIndex();
    tr.SetLanguageIndex(1);
    if (!tr.Table().ReadOnly()) return "not opened read-only";
    if (tr.Translate("Datei") != "File") return "found text not translated";
    if (tr.Translate("Neu") != "Neu") return "unknown text changed";
    if (tr.Table().RecordCount() != 1u) return "unknown text appended";
    return "";
}

TEST(OpenTranslationTable, FallsBackToReadOnlyWhenWritingIsRefused) {
    TempDir dir;
    const std::string path = WriteTable(dir, {{"Datei", "File"}});
    ::chmod(path.c_str(), 0444);
    // File permissions do not bind root: check it as the unprivileged user in a child.
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(test::RunAsUnprivilegedUser([&] { return ReadOnlyFallbackProblems(path); }), "");
}

TEST(OpenTranslationTable, CreatesAMissingTableAndFailsLoudlyOnANonTable) {
    TempDir dir;
    TranslationContext tr;
    tr.OpenTranslationTable(dir.file("translate.dbf"));
    EXPECT_EQ(tr.Table().Fields().size(), 19u);
    EXPECT_EQ(tr.Table().Fields()[18].Name, "LANGUAGE19");

    WriteBytes(dir.file("junk.dbf"), {'n', 'o'});
    TranslationContext broken;
    EXPECT_THROW(broken.OpenTranslationTable(dir.file("junk.dbf")), EDbfError);
    broken.BuildTranslationIndex();
    broken.SetLanguageIndex(1);
    EXPECT_EQ(broken.Translate(" Datei"), " Datei");  // without a table every text stays
    EXPECT_EQ(ReadBytes(dir.file("junk.dbf")), (std::vector<uint8_t>{'n', 'o'}));
}

TEST(Translate, StoresUmlautsAsWindows1252) {
    Started s({}, 0);
    s.tr.Translate("Größer");
    const std::vector<uint8_t> b = ReadBytes(s.dir.file("translate.dbf"));
    const std::string record(b.begin() + 642, b.begin() + 648);
    EXPECT_EQ(record, "Gr\xF6\xDF" "er");
    s.tr.Table().SetValue(1, 2, "Plus grand \xE0");  // French column, Windows-1252 à
    s.tr.SetLanguageIndex(2);
    EXPECT_EQ(s.tr.Translate("Größer"), "Plus grand à");
}

}  // namespace
}  // namespace sonvira
