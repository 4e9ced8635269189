#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QCheckBox>
#include <filesystem>
#include <QTimer>
#include <QLineEdit>
#include <cstring>

#include "SoundFileExtensions.h"
#include "TMainForm.h"
#include "WaitForJob.h"
#include "TDBGrid.h"
#include "TOpenDialog.h"
#include "TTranslateForm.h"
#include "TPaintBox.h"
#include "AnswerSaveDialog.h"
#include "ControlByName.h"
#include "TempDir.h"
#include "TranslationContext.h"
#include "WavFile.h"
#include "Win1252.h"

namespace sonvira {
namespace {

struct FilesFixture : ::testing::Test {
    test::TempDir dir;
    std::unique_ptr<TMainForm> form;
    QStringList messages;

    void Start() {
        form = std::make_unique<TMainForm>(QString::fromStdString(dir.path().string()));
        form->SetCommandLine({});
        form->ShowMessage = [this](QMessageBox::Icon, const QString& text) { messages << text; };
        test::Control<TPaintBox>(*form, "PaintBox1")->resize(100, 100);
        form->FormShow();
    }
    // Answers the next save dialog with `name` and the file type's filter (1 MP3, 2 WAV).
    void AnswerSave(const std::string& name, int fileType) { test::AnswerSaveDialog(*form, name, fileType); }
    void LoadTone(int32_t rate, int32_t frames) {
        auto* block = static_cast<uint8_t*>(std::malloc(size_t(frames) * 4));
        for (int32_t i = 0; i < frames * 2; ++i) {
            const auto s = static_cast<int16_t>(8000 * std::sin(i / 2 * 2 * M_PI * 440 / rate));
            std::memcpy(block + 2 * i, &s, 2);
        }
        form->Document().InstallBlock(block, frames * 4, rate, true, true);
    }
};

TEST_F(FilesFixture, SaveWritesTheSoundAsStoredInTheChosenFormat) {
    Start();
    LoadTone(22050, 22050);
    // Playback factors are not part of what is saved.
    test::Control<TFloatSpinEdit>(*form, "SpeedEd")->SetValue(2);
    test::Control<TFloatSpinEdit>(*form, "PitchEd")->SetValue(0.5);

    AnswerSave(dir.file("plain"), 2);  // WAV without extension: ".wav" appended
    form->SaveBtnClick();
    ASSERT_TRUE(test::WaitUntilIdle(*form));
    WavSound saved;
    ASSERT_TRUE(ReadWav(dir.file("plain.wav"), saved));
    EXPECT_EQ(saved.size, form->Document().DataSize);
    EXPECT_EQ(saved.rate, 22050);
    EXPECT_EQ(std::memcmp(saved.block.get(), form->Document().SampleData, size_t(saved.size)), 0);

    AnswerSave(dir.file("take.wav"), 1);  // MP3 under a .wav name: the type decides
    form->SaveBtnClick();
    ASSERT_TRUE(test::WaitUntilIdle(*form));
    const auto bytes = test::ReadBytes(dir.file("take.wav"));
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_NE(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();

    // Opening that MP3 (under an .mp3 name) brings one second back, at the rate of the
    // MP3 settings (44100 by default).
    std::filesystem::rename(dir.file("take.wav"), dir.file("take.mp3"));
    test::OpenAndWait(*form, QString::fromStdString(dir.file("take.mp3")));
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_EQ(form->Document().SampleRate.load(), 44100);
    EXPECT_NEAR(form->Document().DataSize / 4, 44100, 3000);
}

// Without a sound there is nothing to save: the menu item is greyed out and Ctrl+S opens
// no dialog, so no WAV of rate 0 is written.
TEST_F(FilesFixture, NothingToSaveWithoutASound) {
    Start();
    auto* fileMenu = form->findChild<QMenu*>("Datei");
    QAction* save = form->MenuItem("SpeichernalsWAVMP31");
    emit fileMenu->aboutToShow();
    EXPECT_FALSE(save->isEnabled());
    bool dialogShown = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialogShown = true;
            modal->close();
        }
    });
    form->SaveBtnClick();
    QTest::qWait(80);
    EXPECT_FALSE(dialogShown);

    LoadTone(8000, 100);
    emit fileMenu->aboutToShow();
    EXPECT_TRUE(save->isEnabled());
}

// A refusal keeps its message and adds the file and why, each on a line of its own.
TEST_F(FilesFixture, RefusedSaveAndOpenSayWhichFileAndWhy) {
    Start();
    LoadTone(8000, 100);
    const std::string nowhere = dir.file("no/such/folder/x.wav");
    AnswerSave(nowhere, 2);
    form->SaveBtnClick();
    ASSERT_TRUE(test::WaitUntilIdle(*form));
    EXPECT_EQ(messages, QStringList(QString::fromStdString("Konnte Datei nicht erstellen...\n\n" + nowhere +
                                                           "\nDen Ordner gibt es nicht.")));

    const struct {
        std::string file;
        std::vector<uint8_t> bytes;  // none: the file is not made
        const char* why;
    } refused[] = {
        {dir.file("empty.wav"), {}, "Die Datei ist leer."},
        {dir.file("gone.wav"), {}, "Die Datei gibt es nicht (mehr)."},
        {dir.file("broken.wav"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'},
         "Der Aufbau dieser WAV-Datei ist beschädigt."},
        {dir.file("words.ogg"), {'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't', '\n'},
         "Das Format der Datei wird nicht unterstützt, oder die Datei ist beschädigt."},
    };
    test::WriteBytes(dir.file("empty.wav"), {});
    for (const auto& r : refused) {
        if (!r.bytes.empty()) test::WriteBytes(r.file, r.bytes);
        messages.clear();
        test::OpenAndWait(*form, QString::fromStdString(r.file));
        EXPECT_EQ(messages, QStringList(QString::fromUtf8("Konnte Datei nicht öffnen!\n\n" + r.file + "\n" + r.why)))
            << r.file;
    }
}

// The open and save dialogs start in the folder of the file opened last, also at the next
// start; once that folder is gone, in the user's usual place again.
TEST_F(FilesFixture, DialogsStartInTheFolderOfTheFileOpenedLast) {
    Start();
    const QString usual = form->DialogStartFolder();
    std::filesystem::create_directories(dir.file("songs"));
    ASSERT_TRUE(WriteWav(dir.file("songs/a.wav"), std::vector<uint8_t>(400, 0x80).data(), false, false, 8000, 400));
    test::OpenAndWait(*form, QString::fromStdString(dir.file("songs/a.wav")));
    EXPECT_EQ(form->DialogStartFolder().toStdString(), dir.file("songs"));
    form.reset();
    Start();
    EXPECT_EQ(form->DialogStartFolder().toStdString(), dir.file("songs"));
    std::filesystem::remove_all(dir.file("songs"));
    EXPECT_EQ(form->DialogStartFolder(), usual);
}

TEST_F(FilesFixture, FreshStartFillsTheTableAndEnglishRowsTranslateTheWindow) {
    Start();  // German: the table is made and learns the program's texts
    form.reset();
    {
        TranslationContext table;
        table.OpenTranslationTable(dir.file("translate.dbf"));
        ASSERT_GT(table.Table().RecordCount(), 10u);
        const std::string open = Utf8ToWin1252("Öffnen...");
        bool seen = false;
        for (uint32_t r = 1; r <= table.Table().RecordCount(); ++r) seen |= table.Table().Value(r, 0) == open;
        EXPECT_FALSE(seen) << "German start learns only the messages, title and caption";
        const std::string row[] = {open, "Open..."};
        table.Table().AppendRecord(row);
    }
    test::WriteBytes(dir.file("options.dat"), {1, 0, 0, 0});
    Start();
    EXPECT_EQ(test::Control<QPushButton>(*form, "OpenBtn")->text().toStdString(), "Open...");
    EXPECT_TRUE(form->MenuItem("English1")->isChecked());
    EXPECT_EQ(form->Language(), 1);
}

// The open dialog shows every sound file the program reads first, then WAV and MP3, then
// the formats FFmpeg reads, each extension in upper and lower case; in the chosen language.
TEST_F(FilesFixture, OpenDialogListsEverySoundFileFirstInTheChosenLanguage) {
    const auto Patterns = [](auto extensions) {
        QStringList patterns;
        for (const std::string_view e : extensions) {
            const QString upper = QString::fromLatin1(e.data(), static_cast<qsizetype>(e.size()));
            patterns << "*." + upper << "*." + upper.toLower();
        }
        return " (" + patterns.join(' ') + ")";
    };
    const QString all = Patterns(AllSoundExtensions());
    const QString decoded = Patterns(kDecodedSoundExtensions);
    ASSERT_TRUE(all.contains("*.AU *.au *.SND *.snd *.WV *.wv *.APE *.ape *.WMA *.wma *.AC3 *.ac3 "
                             "*.EAC3 *.eac3 *.DTS *.dts *.TTA *.tta *.AMR *.amr *.MKA *.mka *.MP4 *.mp4 "
                             "*.M4V *.m4v *.MKV *.mkv *.WEBM *.webm *.AVI *.avi *.FLV *.flv"))
        << all.toStdString();
    const struct {
        uint8_t language;
        QStringList filters;
    } starts[] = {
        {0,
         {"Alle Klangdateien" + all, "WAV und MP3-Dateien (*.WAV *.wav *.MP3 *.mp3)",
          "Weitere Audiodateien" + decoded}},
        {1, {"All sound files" + all, "WAV and MP3 files (*.WAV *.wav *.MP3 *.mp3)", "Other audio files" + decoded}},
    };
    const std::string english[][2] = {{"Alle Klangdateien", "All sound files"},
                                      {"Weitere Audiodateien", "Other audio files"},
                                      {"WAV und MP3-Dateien|*.WAV;*.MP3", "WAV and MP3 files|*.WAV;*.MP3"}};
    for (const auto& start : starts) {
        SCOPED_TRACE(start.language);
        if (start.language == 1) {  // the German start has made the table
            TranslationContext table;
            table.OpenTranslationTable(dir.file("translate.dbf"));
            for (const auto& row : english) table.Table().AppendRecord(row);
        }
        test::WriteBytes(dir.file("options.dat"), {start.language, 0, 0, 0});
        Start();
        auto* dialog = test::Control<TOpenDialog>(*form, "OpenDialog1");
        EXPECT_EQ(dialog->nameFilters(), start.filters);
        EXPECT_EQ(dialog->selectedNameFilter(), start.filters.value(0)) << "the dialog opens on every sound file";
        form.reset();
    }
}

// The language commands: the item ticked alone, the choice kept in options.dat for the next
// start, and the restart message already in the chosen column (here a row the test gives
// an English and a French text). Choosing the language in effect again does the same;
// ticking the stored item at start-up is no command.
TEST_F(FilesFixture, LanguageCommandsKeepTheChoiceAndAskForARestartInTheNewLanguage) {
    {
        TranslationContext table;
        table.OpenTranslationTable(dir.file("translate.dbf"));
        const std::string row[] = {Utf8ToWin1252("Bitte schließen Sie das Programm und starten Sie es erneut!"),
                                   "Please close the program and start it again!",
                                   Utf8ToWin1252("Veuillez fermer le programme et le redémarrer !")};
        table.Table().AppendRecord(row);
    }
    test::WriteBytes(dir.file("options.dat"), {1, 0, 0, 0});
    Start();
    EXPECT_TRUE(messages.isEmpty()) << "ticking the stored language at start-up asks nothing";
    const struct {
        const char* item;
        int32_t index;
        const char* message;
    } cases[] = {
        {"Franais1", 2, "Veuillez fermer le programme et le redémarrer !"},
        {"Deutsch1", 0, "Bitte schließen Sie das Programm und starten Sie es erneut!"},
        {"English1", 1, "Please close the program and start it again!"},
        {"English1", 1, "Please close the program and start it again!"},  // the same again
    };
    for (const auto& c : cases) {
        messages.clear();
        form->MenuItem(c.item)->trigger();
        EXPECT_EQ(form->Language(), c.index) << c.item;
        EXPECT_EQ(messages, QStringList(QString::fromUtf8(c.message))) << c.item;
        for (const char* other : {"Deutsch1", "English1", "Franais1"})
            EXPECT_EQ(form->MenuItem(other)->isChecked(), std::string(other) == c.item) << c.item;
        EXPECT_EQ(test::ReadBytes(dir.file("options.dat")),
                  (std::vector<uint8_t>{static_cast<uint8_t>(c.index), 0, 0, 0}))
            << c.item;
    }
}

// "Hohe Klangqualität" switches the stream's engine and is kept in settings.conf for the
// next start; options.dat keeps its four bytes and is not touched.
TEST_F(FilesFixture, HighQualityChoiceSwitchesTheEngineAndIsKept) {
    Start();
    auto* check = test::Control<QCheckBox>(*form, "HighQualityCheck");
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(form->PlayState().HighQuality.load());
    check->click();
    EXPECT_TRUE(form->PlayState().HighQuality.load());
    EXPECT_FALSE(std::filesystem::exists(dir.file("options.dat")));
    form.reset();
    Start();
    EXPECT_TRUE(test::Control<QCheckBox>(*form, "HighQualityCheck")->isChecked());
    EXPECT_TRUE(form->PlayState().HighQuality.load());
    test::Control<QCheckBox>(*form, "HighQualityCheck")->click();
    form.reset();
    Start();
    EXPECT_FALSE(form->PlayState().HighQuality.load());
}

// "Übersetzen...": the editor on the program's own table, every column 300 pixels wide; a
// translation filled in the grid reaches the next English message box without a restart;
// closing it asks for a restart and leaves the language and options.dat as they were.
TEST_F(FilesFixture, TranslationEditorFillsTheTableThatMessagesUseAtOnce) {
    test::WriteBytes(dir.file("options.dat"), {1, 0, 0, 0});
    Start();
    ASSERT_TRUE(form->MenuItem("bersetzen1")->isEnabled());
    auto* editor = test::Control<TTranslateForm>(*form, "TranslateForm");
    bool shown = false;
    QTimer::singleShot(0, editor, [&] {
        shown = editor->isVisible() && editor->isModal();
        auto* grid = test::Control<TDBGrid>(*editor, "DBGrid1");
        EXPECT_EQ(grid->columnWidth(0), 300);
        EXPECT_EQ(grid->columnWidth(18), 300);
        test::Control<QLineEdit>(*editor, "FilterEdit")->setText(QString::fromUtf8("datei nicht ö"));
        editor->FilterBtnClick();
        EXPECT_EQ(grid->model()->rowCount(), 1);
        if (grid->model()->rowCount() == 1) {
            EXPECT_EQ(grid->model()->index(0, 0).data().toString(), QString::fromUtf8("Konnte Datei nicht öffnen!"));
            grid->model()->setData(grid->model()->index(0, 1), "Could not open the file!");
        }
        editor->close();  // the close box: the changed row is posted, the search switched off
    });
    messages.clear();
    form->MenuItem("bersetzen1")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(messages, QStringList(QString::fromUtf8("Bitte schließen Sie das Programm und starten Sie es erneut!")));
    EXPECT_EQ(form->Language(), 1);
    EXPECT_EQ(test::ReadBytes(dir.file("options.dat")), (std::vector<uint8_t>{1, 0, 0, 0}));

    messages.clear();
    test::WriteBytes(dir.file("broken.wav"), {'R', 'I', 'F', 'F'});
    test::OpenAndWait(*form, QString::fromStdString(dir.file("broken.wav")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QString::fromStdString("Could not open the file!\n\n" + dir.file("broken.wav"))))
        << messages[0].toStdString();
}

}  // namespace
}  // namespace sonvira
