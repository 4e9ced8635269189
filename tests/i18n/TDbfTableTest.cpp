#include "TDbfTable.h"

#include "DbfFixture.h"
#include "RunCommand.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace sonvira {
namespace {

using test::BuildDbf;
using test::DbfLayout;
using test::LanguageFields;
using test::ReadBytes;
using test::HaveTool;
using test::RunCommand;
using test::TempDir;
using test::WriteBytes;

std::time_t FixedClock() {
    std::tm t {};
    t.tm_year = 124, t.tm_mon = 4, t.tm_mday = 17, t.tm_hour = 12;
    return std::mktime(&t);
}

void DefineLanguageFields(TDbfTable& table) {
    table.ClearFieldDefs();
    for (int i = 1; i <= 19; ++i) table.AddFieldDef("language" + std::to_string(i), 255);
}

uint32_t Le32At(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(TDbfTable, CreatedTableHasTheDBaseThreeLayout) {
    TempDir dir;
    TDbfTable table;
    table.SetClock(&FixedClock);
    DefineLanguageFields(table);
    table.Open(dir.file("translate.dbf"));

    std::vector<uint8_t> b = ReadBytes(dir.file("translate.dbf"));
    ASSERT_EQ(b.size(), 642u);
    EXPECT_EQ(b[0], 0x03);
    EXPECT_EQ((std::vector<uint8_t>{b[1], b[2], b[3]}), (std::vector<uint8_t>{124, 5, 17}));
    EXPECT_EQ(Le32At(b, 4), 0u);
    EXPECT_EQ(b[8] | (b[9] << 8), 641);
    EXPECT_EQ(b[10] | (b[11] << 8), 4846);
    EXPECT_EQ(b[29], TDbfTable::kLanguageDriverAnsi);
    for (int i = 0; i < 19; ++i) {
        const uint8_t* d = &b[32 + 32 * static_cast<std::size_t>(i)];
        const std::string name = "LANGUAGE" + std::to_string(i + 1);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(d)), name);
        for (std::size_t k = name.size(); k < 11; ++k) EXPECT_EQ(d[k], 0) << name;
        EXPECT_EQ(d[11], 'C');
        EXPECT_EQ(d[16], 255);
        EXPECT_EQ(d[17], 0);
    }
    EXPECT_EQ(b[640], 0x0D);
    EXPECT_EQ(b[641], 0x1A);
    EXPECT_EQ(table.FieldIndex("Language1"), 0);
    EXPECT_EQ(table.FieldIndex("language19"), 18);
    EXPECT_EQ(table.FieldIndex("language20"), -1);
}

TEST(TDbfTable, EveryAppendLeavesAConsistentFile) {
    TempDir dir;
    TDbfTable table;
    table.SetClock(&FixedClock);
    DefineLanguageFields(table);
    table.Open(dir.file("t.dbf"));
    for (uint32_t n = 1; n <= 3; ++n) {
        const std::string values[] = {"Text " + std::to_string(n), "", "drei"};
        EXPECT_EQ(table.AppendRecord(values), n);
        // What a second reader sees right now: the header's count, every record, the end mark.
        const std::vector<uint8_t> b = ReadBytes(dir.file("t.dbf"));
        ASSERT_EQ(b.size(), 641u + 4846u * n + 1u);
        EXPECT_EQ(Le32At(b, 4), n);
        EXPECT_EQ(b.back(), 0x1A);
        const std::size_t record = 641 + 4846 * (n - 1);
        EXPECT_EQ(b[record], ' ');  // live
        EXPECT_EQ(std::string(b.begin() + static_cast<long>(record) + 1, b.begin() + static_cast<long>(record) + 7), "Text " + std::to_string(n));
        EXPECT_EQ(b[record + 255], ' ');  // padded with blanks to the field length
    }
    TDbfTable reader;
    reader.Open(dir.file("t.dbf"));
    EXPECT_EQ(reader.RecordCount(), 3u);
    EXPECT_EQ(reader.Value(2, 0), "Text 2");
    EXPECT_EQ(reader.Value(2, 2), "drei");
    EXPECT_FALSE(reader.Damaged());
}

TEST(TDbfTable, ValuesLoseTrailingBlanksOnlyAndAreCutToTheField) {
    struct Case {
        std::string written;
        std::string read;
    };
    const std::string longText(300, 'x');
    const Case cases[] = {
        {"Datei", "Datei"},
        {"  Datei  ", "  Datei"},
        {"   ", ""},
        {"", ""},
        {"a\tb\t", "a\tb\t"},
        {longText, longText.substr(0, 255)},
    };
    TempDir dir;
    TDbfTable table;
    DefineLanguageFields(table);
    table.Open(dir.file("t.dbf"));
    for (const Case& c : cases) {
        const std::string values[] = {"key"};
        const uint32_t rec = table.AppendRecord(values);
        table.SetValue(rec, 1, c.written);
        EXPECT_EQ(table.Value(rec, 1), c.read) << '"' << c.written << '"';
        EXPECT_EQ(table.Value(rec, 0), "key");  // the neighbour field stays intact
        EXPECT_EQ(table.Value(rec, 2), "");
    }
    EXPECT_EQ(table.Value(0, 0), "");
    EXPECT_EQ(table.Value(99, 0), "");
    EXPECT_EQ(table.Value(1, 19), "");
    EXPECT_THROW(table.SetValue(99, 0, "x"), EDbfError);
}

TEST(TDbfTable, DbfdumpReadsOurTable) {
    if (!HaveTool("dbfdump")) GTEST_SKIP() << "dbfdump (Debian package shapelib) is not installed";
    TempDir dir;
    {
        TDbfTable table;
        DefineLanguageFields(table);
        table.Open(dir.file("translate.dbf"));
        const std::string first[] = {"\xD6" "ffnen...", "Open...", "Ouvrir..."};  // Windows-1252 Ö
        const std::string second[] = {"Datei"};
        table.AppendRecord(first);
        table.AppendRecord(second);
    }
    const std::string out = RunCommand("dbfdump -m " + dir.file("translate.dbf"));
    // One line per field: "<name>: <value>".
    EXPECT_NE(out.find("LANGUAGE1: \xD6" "ffnen..."), std::string::npos) << out.substr(0, 400);
    EXPECT_NE(out.find("LANGUAGE2: Open..."), std::string::npos);
    EXPECT_NE(out.find("LANGUAGE3: Ouvrir..."), std::string::npos);
    EXPECT_NE(out.find("LANGUAGE1: Datei"), std::string::npos);
    EXPECT_NE(out.find("LANGUAGE19:"), std::string::npos);
}

// What the translation editor writes: a whole record in one write and a deletion mark,
// each dated in the header and read back by an independent reader.
TEST(TDbfTable, RewrittenAndDeletedRecordsAsAnotherReaderSeesThem) {
    if (!HaveTool("dbfdump")) GTEST_SKIP() << "dbfdump (Debian package shapelib) is not installed";
    TempDir dir;
    const std::string path = dir.file("translate.dbf");
    TDbfTable table;
    DefineLanguageFields(table);
    table.Open(path);
    const std::string a[] = {"Datei", "File"}, b[] = {"Ende"}, c[] = {"Hilfe"};
    table.AppendRecord(a);
    table.AppendRecord(b);
    table.AppendRecord(c);
    table.SetClock(FixedClock);
    const std::string ende[] = {"Ende", "End", "Fin"};
    table.WriteRecord(2, ende);
    table.DeleteRecord(3);
    const std::string shorter[] = {"Datei"};  // fields beyond the values become blank
    table.WriteRecord(1, shorter);

    const auto bytes = ReadBytes(path);
    EXPECT_EQ(bytes[1], 124);
    EXPECT_EQ(bytes[2], 5);
    EXPECT_EQ(bytes[3], 17);
    EXPECT_EQ(Le32At(bytes, 4), 3u) << "deleting keeps the record in the file";
    EXPECT_EQ(bytes.back(), 0x1A);
    EXPECT_EQ(table.Values(2), (std::vector<std::string>{"Ende", "End", "Fin", "", "", "", "", "", "", "", "", "",
                                                         "", "", "", "", "", "", ""}));
    EXPECT_TRUE(table.IsDeleted(3));
    EXPECT_FALSE(table.IsDeleted(2));
    EXPECT_EQ(table.Value(1, 1), "");

    const std::string out = RunCommand("dbfdump -m " + path);
    const auto record3 = out.find("Record: 2");
    ASSERT_NE(record3, std::string::npos) << out.substr(0, 400);
    EXPECT_NE(out.find("(DELETED)", record3), std::string::npos);
    EXPECT_EQ(out.find("(DELETED)"), out.find("(DELETED)", record3)) << "only the third record is deleted";
    EXPECT_NE(out.find("LANGUAGE2: End"), std::string::npos);
    EXPECT_NE(out.find("LANGUAGE3: Fin"), std::string::npos);
    EXPECT_EQ(out.find("LANGUAGE2: File"), std::string::npos);

    EXPECT_THROW(table.WriteRecord(4, ende), EDbfError);
    EXPECT_THROW(table.DeleteRecord(0), EDbfError);
    table.Close();
    table.SetReadOnly(true);
    table.Open(path);
    EXPECT_THROW(table.WriteRecord(1, ende), EDbfError);
    EXPECT_THROW(table.DeleteRecord(1), EDbfError);
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(TDbfTable, ReadsATableWrittenByAnotherTool) {
    if (!HaveTool("dbfcreate") || !HaveTool("dbfadd")) GTEST_SKIP() << "shapelib tools are not installed";
    TempDir dir;
    const std::string path = dir.file("other.dbf");
    RunCommand("dbfcreate " + path + " -s language1 255 -s Language2 20 -s Info 5");
    RunCommand("dbfadd " + path + " '  Datei' 'File' 'abc'");
    RunCommand("dbfadd " + path + " 'Ende' '' ''");
    TDbfTable table;
    table.Open(path);
    ASSERT_EQ(table.Fields().size(), 3u);
    EXPECT_EQ(table.Fields()[1].Length, 20);
    EXPECT_EQ(table.FieldIndex("LANGUAGE2"), 1);
    ASSERT_EQ(table.RecordCount(), 2u);
    EXPECT_EQ(table.Value(1, 0), "  Datei");
    EXPECT_EQ(table.Value(1, 1), "File");
    EXPECT_EQ(table.Value(1, 2), "abc");
    EXPECT_EQ(table.Value(2, 0), "Ende");
    EXPECT_EQ(table.Value(2, 1), "");
    EXPECT_FALSE(table.Damaged());
    EXPECT_FALSE(table.ReadOnly());
    // And we can extend it without breaking it for the other tool.
    const std::string values[] = {"Neu", "New"};
    EXPECT_EQ(table.AppendRecord(values), 3u);
    if (HaveTool("dbfdump")) {
        EXPECT_NE(RunCommand("dbfdump -m " + path).find("Language2: New"), std::string::npos);
    }
}

TEST(TDbfTable, DeletedRecordsAreFlagged) {
    TempDir dir;
    DbfLayout layout;
    layout.fields = LanguageFields();
    layout.records = {{"A"}, {"B"}, {"C"}};
    layout.deleted = {false, true, false};
    WriteBytes(dir.file("t.dbf"), BuildDbf(layout));
    TDbfTable table;
    table.Open(dir.file("t.dbf"));
    EXPECT_FALSE(table.IsDeleted(1));
    EXPECT_TRUE(table.IsDeleted(2));
    EXPECT_FALSE(table.IsDeleted(3));
    EXPECT_FALSE(table.IsDeleted(4));
}

// Each damaged file opens read-only with what lies inside its real bounds, and the file
// is not changed by opening it or by an attempt to append.
TEST(TDbfTable, DamagedFilesOpenReadOnlyWithWhatIsSafe) {
    struct Case {
        const char* name;
        std::function<std::vector<uint8_t>()> make;
        uint32_t records;
        std::size_t fields;
        const char* note;
        const char* firstValue;  // null where the lengths no longer say where records lie
    };
    const auto base = [] {
        DbfLayout layout;
        layout.fields = LanguageFields();
        layout.records = {{"Eins", "One"}, {"Zwei", "Two"}, {"Drei", "Three"}};
        return layout;
    };
    const Case cases[] = {
        {"header length beyond the file",
         [&] { auto s = base(); s.headerLength = 60000; return BuildDbf(s); }, 0, 19, "header length", nullptr},
        {"header length cuts the field list",
         [&] { auto s = base(); s.headerLength = 32 + 32 * 5; return BuildDbf(s); }, 3, 5, "not ended", nullptr},
        {"fields beyond the record length",
         [&] { auto s = base(); s.recordLength = 1 + 255 * 2 + 10; return BuildDbf(s); }, 3, 2, "beyond the record", "Eins"},
        {"record count beyond the file",
         [&] { auto s = base(); s.recordCount = 1000000; return BuildDbf(s); }, 3, 19, "record count", "Eins"},
        {"record count near 2^32",
         [&] { auto s = base(); s.recordCount = 0xFFFFFFFF; return BuildDbf(s); }, 3, 19, "record count", "Eins"},
        {"truncated last record",
         [&] { auto b = BuildDbf(base()); b.erase(b.end() - 2000, b.end()); return b; }, 2, 19, "truncated", "Eins"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::vector<uint8_t> bytes = c.make();
        WriteBytes(dir.file("t.dbf"), bytes);
        TDbfTable table;
        table.Open(dir.file("t.dbf"));
        EXPECT_TRUE(table.Damaged());
        EXPECT_TRUE(table.ReadOnly());
        EXPECT_NE(table.DamageNote().find(c.note), std::string::npos) << table.DamageNote();
        EXPECT_EQ(table.RecordCount(), c.records);
        EXPECT_EQ(table.Fields().size(), c.fields);
        if (c.firstValue) {
            EXPECT_EQ(table.Value(1, 0), c.firstValue);
        }
        EXPECT_EQ(table.Value(table.RecordCount() + 1, 0), "");
        const std::string values[] = {"Neu"};
        EXPECT_THROW(table.AppendRecord(values), EDbfError);
        EXPECT_THROW(table.SetValue(1, 0, "x"), EDbfError);
        EXPECT_EQ(ReadBytes(dir.file("t.dbf")), bytes);
    }
}

TEST(TDbfTable, FilesThatAreNoTableAreRefusedAndLeftAlone) {
    const std::vector<std::vector<uint8_t>> files = {
        {},                                     // empty file
        std::vector<uint8_t>(20, 0x03),         // shorter than a header
        [] { DbfLayout s; return BuildDbf(s); }(),  // no fields at all
    };
    for (const auto& bytes : files) {
        TempDir dir;
        WriteBytes(dir.file("t.dbf"), bytes);
        TDbfTable table;
        DefineLanguageFields(table);
        EXPECT_THROW(table.Open(dir.file("t.dbf")), EDbfError);
        EXPECT_FALSE(table.Active());
        EXPECT_EQ(ReadBytes(dir.file("t.dbf")), bytes);  // never replaced by a fresh table
    }
}

TEST(TDbfTable, FewerFieldsThanDefinedIsNoDamage) {
    TempDir dir;
    DbfLayout layout;
    layout.fields = {{"LANGUAGE1", 255}, {"LANGUAGE2", 255}};
    layout.records = {{"Datei", "File"}};
    WriteBytes(dir.file("t.dbf"), BuildDbf(layout));
    TDbfTable table;
    DefineLanguageFields(table);
    table.Open(dir.file("t.dbf"));
    EXPECT_FALSE(table.Damaged());
    EXPECT_EQ(table.Fields().size(), 2u);
    EXPECT_EQ(table.Value(1, 1), "File");
    EXPECT_EQ(table.Value(1, 2), "");
    const std::string values[] = {"Ende", "End", "Fin"};  // the third has no field: dropped
    EXPECT_EQ(table.AppendRecord(values), 2u);
    EXPECT_EQ(ReadBytes(dir.file("t.dbf")).size(), 97u + 2 * 511u + 1u);
}

TEST(TDbfTable, MissingFileIsCreatedUnlessReadOnly) {
    TempDir dir;
    TDbfTable table;
    DefineLanguageFields(table);
    table.SetReadOnly(true);
    EXPECT_THROW(table.Open(dir.file("none.dbf")), EDbfError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.dbf")));
    table.SetReadOnly(false);
    table.Open(dir.file("none.dbf"));
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.RecordCount(), 0u);
}

}  // namespace
}  // namespace sonvira
