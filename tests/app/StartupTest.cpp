// Start-up as the program runs it: the main window shown, then the main loop. Covers the
// end without sound output, the command-line file's box over the window, the caption of
// message boxes and Qt's own texts in the chosen language.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <filesystem>

#include "QtWait.h"
#include "SonviraApplication.h"
#include "TMainForm.h"
#include "TempDir.h"
#include "TranslationContext.h"
#include "Win1252.h"

namespace sonvira {
namespace {

SonviraApplication& App() { return *qobject_cast<SonviraApplication*>(QCoreApplication::instance()); }

// Stands in for the user: presses OK on every message box that comes up, and notes how it
// came up (text, caption, owner).
class BoxCloser {
public:
    struct Seen {
        QString text, caption;
        QWidget* owner;
    };
    BoxCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen.push_back({box->text(), box->windowTitle(), box->parentWidget()});
                box->accept();
            }
        });
        timer_.start(20);
    }
    std::vector<Seen> seen;

private:
    QTimer timer_;
};

// English rows for the table of `dir` (created when missing), as a translator would add them.
void AddEnglishRows(const test::TempDir& dir, std::initializer_list<std::pair<const char*, const char*>> rows) {
    TranslationContext table;
    table.OpenTranslationTable(dir.file("translate.dbf"));
    for (const auto& [german, english] : rows) {
        const std::string row[] = {Utf8ToWin1252(german), Utf8ToWin1252(english)};
        table.Table().AppendRecord(row);
    }
}

void StoreLanguage(const test::TempDir& dir, uint8_t index) {
    test::WriteBytes(dir.file("options.dat"), {index, 0, 0, 0});
}

TEST(Startup, WithoutSoundOutputTheProgramEndsEvenWhenACommandLineFileIsRefused) {
    // A refused WAV shows its box; a missing MP3 also runs the decoder's event loop first.
    for (const char* file : {"bad.wav", "missing.mp3"}) {
        SCOPED_TRACE(file);
        test::TempDir dir;
        test::WriteBytes(dir.file("bad.wav"), {'R', 'I', 'F', 'F', 1, 2});
        BoxCloser user;
        PlatformParts platform;
        platform.openOutput = [] { return std::unique_ptr<SoundOutput>(); };
        TMainForm form(QString::fromStdString(dir.path().string()), platform);
        form.SetCommandLine({"sonvira", QString::fromStdString(dir.file(file))});
        form.show();

        bool stillRunning = false;
        QTimer::singleShot(5000, [&] {
            stillRunning = true;
            QCoreApplication::exit(1);
        });
        const int code = App().Run();
        EXPECT_FALSE(stillRunning);
        EXPECT_EQ(code, 0);
        ASSERT_FALSE(user.seen.empty());
        EXPECT_EQ(user.seen.front().text, "Konnte DirectSound (DirectX) nicht initialisieren...");
    }
}

// The box comes in the stored language, although the windows are translated only later.
TEST(Startup, MissingSoundOutputIsReportedInTheStoredLanguage) {
    test::TempDir dir;
    AddEnglishRows(dir, {{"Konnte DirectSound (DirectX) nicht initialisieren...", "No sound output."}});
    StoreLanguage(dir, 1);
    PlatformParts platform;
    platform.openOutput = [] { return std::unique_ptr<SoundOutput>(); };
    BoxCloser user;
    TMainForm form(QString::fromStdString(dir.path().string()), platform);
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_EQ(user.seen.front().text, "No sound output.");
}

// What a copy killed in the middle of a save left in the data folder goes at the next start.
TEST(Startup, LeftoversOfAKilledSaveInTheDataFolderAreRemoved) {
    test::TempDir dir;
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string leftover = dir.file(".settings.conf." + std::to_string(ended) + ".a1B2c3.sonvira-tmp");
    test::WriteBytes(leftover, {'x'});
    TMainForm form(QString::fromStdString(dir.path().string()));
    EXPECT_EQ(form.DataFolder().toStdString(), dir.path().string() + "/");
    EXPECT_FALSE(std::filesystem::exists(leftover));
}

TEST(Startup, RefusedCommandLineFileIsReportedOverTheShownWindow) {
    test::TempDir dir;
    TMainForm form(QString::fromStdString(dir.path().string()));
    bool windowOnScreen = false;
    QStringList messages;
    form.ShowMessage = [&](QMessageBox::Icon, const QString& text) {
        windowOnScreen = form.isVisible() && form.windowHandle() && form.windowHandle()->isExposed();
        messages << text;
    };
    form.SetCommandLine({"sonvira", QString::fromStdString(dir.file("missing.wav"))});
    form.show();
    ASSERT_TRUE(test::WaitUntil([&] { return !messages.isEmpty(); }, 5000));
    EXPECT_TRUE(windowOnScreen);
    EXPECT_EQ(messages, QStringList(QString::fromStdString("Konnte Datei nicht öffnen!\n\n" + dir.file("missing.wav") +
                                                           "\nDie Datei gibt es nicht (mehr).")));
}

TEST(Startup, MessageBoxesTakeTheTranslatedProgramTitleAndTheMainWindowAsOwner) {
    test::TempDir dir;
    AddEnglishRows(dir, {{"Sonvira", "Sonvira Player"}});
    StoreLanguage(dir, 1);
    TMainForm form(QString::fromStdString(dir.path().string()));
    form.SetCommandLine({});
    form.FormShow();
    BoxCloser user;
    form.ShowMessage(QMessageBox::Critical, "Konnte Datei nicht öffnen!");
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_EQ(user.seen[0].caption.toStdString(), "Sonvira Player");
    EXPECT_EQ(user.seen[0].owner, &form);
}

TEST(Startup, QtsOwnButtonsFollowTheStoredLanguage) {
    struct Case {
        uint8_t language;
        const char *yes, *cancel;
    };
    for (const Case& c : {Case{0, "&Ja", "Abbrechen"}, Case{1, "&Yes", "Cancel"},
                          Case{2, "&Oui", "Annuler"}}) {
        SCOPED_TRACE(int(c.language));
        test::TempDir dir;
        StoreLanguage(dir, c.language);
        TMainForm form(QString::fromStdString(dir.path().string()));
        form.SetCommandLine({});
        form.FormShow();
        QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text().toStdString(), c.yes);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text().toStdString(), c.cancel);
    }
}

}  // namespace
}  // namespace sonvira
