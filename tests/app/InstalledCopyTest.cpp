// An installed copy of the program (its folder without a table of its own, the shipped
// table in ../share/sonvira) keeps what it writes in the user's data folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>

#include "ControlByName.h"
#include "TMainForm.h"
#include "TempDir.h"

namespace sonvira {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(InstalledCopy, KeepsTheLanguageAndTheTableInTheUsersDataFolder) {
    test::TempDir dir;
    const std::string program = dir.file("usr/bin"), data = dir.file("data");
    fs::create_directories(program);
    fs::create_directories(dir.file("usr/share/sonvira"));
    fs::copy_file(SONVIRA_SHIPPED_TABLE, dir.file("usr/share/sonvira/translate.dbf"));
    const ScopedEnvironment xdg("XDG_DATA_HOME", data);
    const QString userFolder = QString::fromStdString(data + "/sonvira/");
    QStringList messages;
    {
        TMainForm form(QString::fromStdString(program));
        form.SetCommandLine({});
        form.ShowMessage = [&](QMessageBox::Icon, const QString& text) { messages << text; };
        form.FormShow();
        EXPECT_EQ(form.DataFolder(), userFolder);
        EXPECT_EQ(form.DialogStartFolder(), QDir::homePath()) << "not the folder of the programs";
        EXPECT_TRUE(fs::exists(data + "/sonvira/translate.dbf")) << "seeded from the shipped table";
        form.MenuItem("English1")->trigger();
        EXPECT_EQ(messages, QStringList("Please close the program and start it again!"));
        form.close();
    }
    EXPECT_EQ(test::ReadBytes(data + "/sonvira/options.dat"), (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_TRUE(fs::exists(data + "/sonvira/settings.conf"));
    EXPECT_TRUE(fs::is_empty(program)) << "nothing written beside the program";

    TMainForm next(QString::fromStdString(program));  // the next start is English
    next.SetCommandLine({});
    next.FormShow();
    EXPECT_EQ(next.Language(), 1);
    EXPECT_EQ(test::Control<QPushButton>(next, "OpenBtn")->text(), "Open...");
    // A screen reader hears the language the eye sees.
    const struct {
        const char* object;
        const char* name;
    } names[] = {
        {"OpenBtn", "Open..."},     {"RecordBtn", "Record"},   {"PaintBox1", "Waveform"},
        {"ZoomOutEd", "Reduction:"}, {"nbFirst", "First record"}, {"nbPost", "Save record"},
    };
    for (const auto& n : names) {
        const auto* widget = next.findChild<QWidget*>(n.object);
        ASSERT_NE(widget, nullptr) << n.object;
        EXPECT_EQ(widget->accessibleName(), n.name) << n.object;
    }
}

}  // namespace
}  // namespace sonvira
