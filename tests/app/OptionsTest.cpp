#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "OptionsFile.h"
#include "TMainForm.h"
#include "TempDir.h"

namespace sonvira {
namespace {

struct OptionsCase {
    const char* name;
    std::optional<std::vector<uint8_t>> file;  // nothing: no options.dat at all
    int32_t language;
    const char* checkedItem;
};

TEST(LoadOptions, StoredIndexChoosesLanguageAndMenuItem) {
    const OptionsCase cases[] = {
        {"missing file", std::nullopt, 0, "Deutsch1"},
        {"empty file", std::vector<uint8_t>{}, 0, "Deutsch1"},
        {"three bytes", std::vector<uint8_t>{2, 0, 0}, 0, "Deutsch1"},
        {"English", std::vector<uint8_t>{1, 0, 0, 0}, 1, "English1"},
        {"French", std::vector<uint8_t>{2, 0, 0, 0}, 2, "Franais1"},
        {"a column without menu item", std::vector<uint8_t>{7, 0, 0, 0}, 7, "Deutsch1"},
        {"beyond the last column", std::vector<uint8_t>{19, 0, 0, 0}, 0, "Deutsch1"},
        {"negative", std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}, 0, "Deutsch1"},
        {"huge", std::vector<uint8_t>{0, 0, 0, 0x40}, 0, "Deutsch1"},
        {"longer file: first four bytes", std::vector<uint8_t>{1, 0, 0, 0, 9, 9}, 1, "English1"},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        if (c.file) test::WriteBytes(dir.file("options.dat"), *c.file);
        TMainForm form(QString::fromStdString(dir.path().string()));
        form.SetCommandLine({});
        form.FormShow();
        EXPECT_EQ(form.Language(), c.language) << c.name;
        EXPECT_TRUE(form.MenuItem(c.checkedItem)->isChecked()) << c.name;
    }
}

TEST(SaveOptions, WritesFourBytesThatLoadReadsBack) {
    test::TempDir dir;
    test::WriteBytes(dir.file("options.dat"), {2, 0, 0, 0});
    TMainForm form(QString::fromStdString(dir.path().string()));
    form.SetCommandLine({});
    form.FormShow();  // language 2 in effect
    std::filesystem::remove(dir.file("options.dat"));
    form.SaveOptions();
    EXPECT_EQ(test::ReadBytes(dir.file("options.dat")), (std::vector<uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(ReadStoredLanguageIndex(dir.file("options.dat")), 2);
    EXPECT_FALSE(WriteLanguageIndex(dir.file("no/such/options.dat"), 1));
}

}  // namespace
}  // namespace sonvira
