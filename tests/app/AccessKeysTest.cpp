#include <gtest/gtest.h>

#include "AccessKeys.h"

namespace sonvira {
namespace {

struct AccessKeyCase {
    const char* what;
    std::vector<std::string> captions, marked;
};

class AccessKeysTest : public ::testing::TestWithParam<AccessKeyCase> {};

TEST_P(AccessKeysTest, EachCaptionGetsAKeyNoOtherHas) {
    EXPECT_EQ(WithAccessKeys(GetParam().captions), GetParam().marked) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Menus, AccessKeysTest,
    ::testing::Values(
        AccessKeyCase{"first letters where free",
                      {"Datei", "Bearbeiten", "Ansicht", "Effekte", "Sprache", "Hilfe"},
                      {"&Datei", "&Bearbeiten", "&Ansicht", "&Effekte", "&Sprache", "&Hilfe"}},
        AccessKeyCase{"a taken first letter: another word's, then any letter, case ignored",
                      {"Weich einblenden", "Weich ausblenden", "weiter", "Echo..."},
                      {"&Weich einblenden", "Weich &ausblenden", "w&eiter", "E&cho..."}},
        AccessKeyCase{"letters outside ASCII are passed over",
                      {"Über das Programm...", "Öffnen..."}, {"Über &das Programm...", "Ö&ffnen..."}},
        AccessKeyCase{"digits only when no letter is free",
                      {"Lauter 10%", "L 1"}, {"&Lauter 10%", "L &1"}},
        AccessKeyCase{"an ampersand of the caption stays one; separators and spent captions get none",
                      {"Rock & Roll", "", "r", "R&"}, {"&Rock && Roll", "", "r", "R&&"}}));

}  // namespace
}  // namespace sonvira
