#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "AdditionalSenseTable.h"
#include "ReadErrorLine.h"
#include "SenseFields.h"
#include "SenseText.h"
#include "TranslationContext.h"

namespace sonvira {
namespace {

TEST(AdditionalSenseTable, RunsAscendingFromNoSenseToVendorUnique) {
    const auto rows = AdditionalSenseTable();
    ASSERT_GE(rows.size(), 300u);
    EXPECT_EQ(rows.front().Asc, 0x00);
    EXPECT_EQ(rows.front().Ascq, 0x00);
    EXPECT_EQ(rows.back().Asc, 0x80);
    EXPECT_EQ(rows.back().Ascq, 0x00);
    EXPECT_STREQ(rows.back().Description, "start vendor unique");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto prev = std::pair(rows[i - 1].Asc, rows[i - 1].Ascq);
        const auto cur = std::pair(rows[i].Asc, rows[i].Ascq);
        // Only (0x40, 0x00) has two rows; every other step goes strictly up.
        if (cur == std::pair<uint8_t, uint8_t>(0x40, 0x00) && prev == cur) continue;
        EXPECT_LT(prev, cur) << "row " << i << ": " << rows[i].Description;
    }
    for (const AdditionalSense& row : rows)
        for (const char* c = row.Description; *c; ++c)
            EXPECT_FALSE(*c >= 'A' && *c <= 'Z') << row.Description;
}

// The rows a user meets most with an audio CD, word for word.
TEST(geterrorMessage, NamesTheSenseKeyAndEveryRowOfThePair) {
    struct Case {
        uint8_t key, asc, ascq;
        const char* text;
    };
    const Case cases[] = {
        {0, 0x00, 0x00, "No Additional Sense: no additional sense information"},
        {2, 0x04, 0x01, "Not Ready: logical unit is in process of becoming ready"},
        {3, 0x11, 0x05, "Medium Error: l-ec uncorrectable error"},
        {5, 0x21, 0x00, "Illegal Request: logical block address out of range"},
        {5, 0x24, 0x00, "Illegal Request: invalid field in cdb"},
        {6, 0x28, 0x00, "Unit Attention: not ready to ready change, medium may have changed"},
        {2, 0x3A, 0x00, "Not Ready: medium not present"},
        {5, 0x64, 0x00, "Illegal Request: illegal mode for this track"},
        {9, 0x80, 0x00, "Vendor Unique: start vendor unique"},
        {4, 0x40, 0x00,
         "Hardware Error: ram failure (should use 40 nn) nn diagnostic failure on component nn "
         "(80h-ffh)"},
        // Codes without a row add nothing; a key above 15 has no name.
        {15, 0x3A, 0x7F, "Reserved:"},
        {1, 0xFF, 0xFF, "Recovered Error:"},
        {16, 0x3A, 0x00, "Fehler: medium not present"},
        {0x82, 0x3A, 0x00, "Fehler: medium not present"},  // not masked to the low nibble
    };
    for (const Case& c : cases)
        EXPECT_EQ(geterrorMessage(c.key, c.asc, c.ascq), c.text)
            << int(c.key) << "/" << int(c.asc) << "/" << int(c.ascq);
}

TEST(SenseKeyName, CoversTheSixteenKeys) {
    EXPECT_STREQ(SenseKeyName(0), "No Additional Sense");
    EXPECT_STREQ(SenseKeyName(10), "Copy Aborted");
    EXPECT_STREQ(SenseKeyName(14), "Miscompare");
    EXPECT_STREQ(SenseKeyName(15), "Reserved");
    EXPECT_EQ(SenseKeyName(16), nullptr);
}

// Sense data as drives return it: `fill` puts (offset, value) pairs into 18 zero bytes.
std::vector<uint8_t> Sense(std::initializer_list<std::pair<std::size_t, uint8_t>> fill) {
    std::vector<uint8_t> sense(18);
    for (const auto& [at, value] : fill) sense[at] = value;
    return sense;
}

TEST(ParseSense, ReadsKeyAscAscqWhereTheFormatPutsThem) {
    struct Case {
        const char* what;
        std::vector<uint8_t> sense;
        uint8_t key, asc, ascq;
    };
    const Case cases[] = {
        {"fixed, current", Sense({{0, 0x70}, {2, 0x02}, {12, 0x3A}, {13, 0x01}}), 2, 0x3A, 1},
        {"fixed, VALID bit set", Sense({{0, 0xF0}, {2, 0x03}, {12, 0x11}, {13, 0x05}}), 3, 0x11, 5},
        {"fixed, deferred", Sense({{0, 0x71}, {2, 0x04}, {12, 0x40}}), 4, 0x40, 0},
        // FILEMARK, EOM and ILI share byte 2 with the key.
        {"fixed, flag bits above the key", Sense({{0, 0x70}, {2, 0xE3}, {12, 0x11}}), 3, 0x11, 0},
        {"descriptor, current", Sense({{0, 0x72}, {1, 0x02}, {2, 0x3A}, {3, 0x02}}), 2, 0x3A, 2},
        {"descriptor, deferred", Sense({{0, 0x73}, {1, 0x06}, {2, 0x28}, {12, 0x99}}), 6, 0x28, 0},
        {"descriptor, reserved bits above the key", Sense({{0, 0x72}, {1, 0xF5}, {2, 0x24}}), 5,
         0x24, 0},
        {"no sense data", Sense({}), 0, 0, 0},
        {"vendor-specific format", Sense({{0, 0x7F}, {2, 0x03}, {12, 0x11}}), 0, 0, 0},
        {"cut short after the key", {0x70, 0x00, 0x05}, 5, 0, 0},
        {"empty", {}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const SenseFields f = ParseSense(c.sense);
        EXPECT_EQ(f.Key, c.key) << c.what;
        EXPECT_EQ(f.Asc, c.asc) << c.what;
        EXPECT_EQ(f.Ascq, c.ascq) << c.what;
    }
}

// No table open: the catalogue's German texts come back unchanged.
TEST(ReadErrorLine, SptiLineHasStatusHexCodesAndQuotedText) {
    TranslationContext tr;
    struct Case {
        std::vector<uint8_t> sense;
        const char* line;
    };
    const Case cases[] = {
        {Sense({{0, 0x70}, {2, 0x02}, {12, 0x3A}}),
         "Fehler: SCSI Status 2; Code:2;3A;0 \"Not Ready: medium not present\""},
        {Sense({{0, 0x70}, {2, 0xE3}, {12, 0x11}, {13, 0x05}}),
         "Fehler: SCSI Status 2; Code:3;11;5 \"Medium Error: l-ec uncorrectable error\""},
        {Sense({{0, 0x72}, {1, 0x02}, {2, 0x3A}}),
         "Fehler: SCSI Status 2; Code:2;3A;0 \"Not Ready: medium not present\""},
        {Sense({{0, 0x70}, {2, 0x0B}, {12, 0x0B}, {13, 0xAB}}),
         "Fehler: SCSI Status 2; Code:B;B;AB \"Aborted Command:\""},
    };
    for (const Case& c : cases) EXPECT_EQ(SptiReadErrorLine(tr, 2, c.sense), c.line);
}

TEST(ReadErrorLine, AspiLineHasStatusAndMessage33) {
    TranslationContext tr;
    EXPECT_EQ(AspiReadErrorLine(tr, 4), "Fehler 4! Fehler beim Ausführen des SCSI Kommandos...");
}

}  // namespace
}  // namespace sonvira
