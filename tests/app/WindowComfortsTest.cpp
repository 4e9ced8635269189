// What a daily user of the window expects beyond the menus and buttons: the files opened
// last, the place in each file coming back, files dropped on the window, and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "AnswerSaveDialog.h"
#include "ControlByName.h"
#include "FakeGlobalHotKeys.h"
#include "PlaybackHotKeys.h"
#include "TMainForm.h"
#include "WaitForJob.h"
#include "TPaintBox.h"
#include "TempDir.h"
#include "TimerSoundOutput.h"
#include "WavFile.h"

namespace sonvira {
namespace {

// A window on a folder of its own, with a sound output that needs no device and fake
// global hot keys.
struct Window {
    FakeGlobalHotKeys* keys = nullptr;
    TMainForm form;
    QStringList messages;

    Window(const test::TempDir& dir, bool withOutput = true)
        : form(QString::fromStdString(dir.path().string()), Platform(keys)) {
        form.SetCommandLine({});
        form.ShowMessage = [this](QMessageBox::Icon, const QString& text) { messages << text; };
        test::Control<TPaintBox>(form, "PaintBox1")->resize(760, 300);
        if (withOutput) form.Playback().SetOutput(std::make_unique<test::TimerSoundOutput>());
    }
    static PlatformParts Platform(FakeGlobalHotKeys*& keys) {
        PlatformParts platform;
        platform.makeHotKeys = [&keys](QWidget* owner) { return keys = new FakeGlobalHotKeys(owner); };
        return platform;
    }
    template <typename T>
    T* Control(const char* name) { return test::Control<T>(form, name); }
    QAction* RecentItem(int number) {
        return form.findChild<QAction*>(QString("RecentFile%1").arg(number));
    }
    void ShowRecentMenu() { emit Control<QMenu>("RecentMenu")->aboutToShow(); }
    // Runs `action` after `ms` milliseconds, from the window's event loop (also while the
    // play loop runs).
    void During(int ms, std::function<void()> action) { QTimer::singleShot(ms, &form, std::move(action)); }
    // Lets the window's event loop run until `done` holds, at most two seconds.
    bool Await(const std::function<bool()>& done) {
        for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(10);
        return done();
    }
};

// A second of mono 16-bit silence at 44100 Hz, `seconds` long.
std::string SilentWav(const test::TempDir& dir, const std::string& name, int seconds = 10) {
    const int32_t bytes = seconds * 44100 * 2;
    std::vector<uint8_t> block(static_cast<size_t>(bytes), 0);
    const std::string path = dir.file(name);
    EXPECT_TRUE(WriteWav(path, block.data(), false, true, 44100, bytes));
    return path;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

TEST(RecentFiles, MenuListsNewestFirstGreysMissingFilesOpensAndLastsAcrossRuns) {
    test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 1; i <= 9; ++i) paths.push_back(SilentWav(dir, "take" + std::to_string(i) + ".wav", 1));
    {
        Window w(dir);
        EXPECT_FALSE(w.Control<QMenu>("RecentMenu")->menuAction()->isEnabled()) << "nothing opened yet";
        for (const auto& p : paths) test::OpenAndWait(w.form, Q(p));
        w.ShowRecentMenu();
        EXPECT_EQ(w.RecentItem(1)->text(), "&1 " + Q(paths[8]));
        EXPECT_EQ(w.RecentItem(8)->text(), "&8 " + Q(paths[1]));
        EXPECT_EQ(w.RecentItem(9), nullptr) << "eight at most";

        std::filesystem::remove(paths[7]);
        w.ShowRecentMenu();
        EXPECT_FALSE(w.RecentItem(2)->isEnabled()) << "a file that is gone is greyed out";
        EXPECT_TRUE(w.RecentItem(3)->isEnabled());
        w.RecentItem(3)->trigger();
        ASSERT_TRUE(test::WaitUntilIdle(w.form));
        EXPECT_EQ(w.form.OpenedFile(), Q(paths[6]));
        w.ShowRecentMenu();
        EXPECT_EQ(w.RecentItem(1)->text(), "&1 " + Q(paths[6]));
        EXPECT_TRUE(w.messages.isEmpty());
    }
    Window next(dir);
    next.ShowRecentMenu();
    EXPECT_EQ(next.RecentItem(1)->text(), "&1 " + Q(paths[6]));
    EXPECT_EQ(next.RecentItem(2)->text(), "&2 " + Q(paths[8]));
}

// A damaged settings file costs the lists, never the start; it is written afresh.
TEST(RecentFiles, GarbageSettingsFileIsIgnoredAndRewritten) {
    test::TempDir dir;
    test::WriteBytes(dir.file("settings.conf"), {'r', 'e', 'c', 0, '\n', 0xff, '=', '='});
    const std::string take = SilentWav(dir, "take.wav", 1);
    Window w(dir);
    EXPECT_FALSE(w.Control<QMenu>("RecentMenu")->menuAction()->isEnabled());
    test::OpenAndWait(w.form, Q(take));
    SettingsFile written(dir.file("settings.conf"));
    ASSERT_TRUE(written.Load());
    RecentFiles recent;
    recent.Load(written);
    EXPECT_EQ(recent.Paths(), std::vector<std::string>{std::filesystem::absolute(take).string()});
}

TEST(FileMemory, ReopeningAFileBringsBackItsPlaceUntilTheFileChanges) {
    test::TempDir dir;
    const std::string a = SilentWav(dir, "a.wav"), b = SilentWav(dir, "b.wav");
    const auto placeOf = [](Window& w) {
        const AudioDocument& doc = w.form.Document();
        return FilePlace{doc.SelAnchor, doc.SelEnd, w.Control<QSpinBox>("ZoomOutEd")->value(),
                         w.Control<QScrollBar>("ScrollBar1")->value(),
                         w.Control<TFloatSpinEdit>("SpeedEd")->value(), w.Control<TFloatSpinEdit>("PitchEd")->value()};
    };
    const FilePlace left{1000, 50000, 100, 2000, 0.5, 0.5};
    {
        Window w(dir);
        test::OpenAndWait(w.form, Q(a));
        const int32_t wholeFile = w.Control<QSpinBox>("ZoomOutEd")->value();
        w.form.Document().SelAnchor = left.selAnchor;
        w.form.Document().SelEnd = left.selEnd;
        w.Control<QSpinBox>("ZoomOutEd")->setValue(left.zoom);
        w.Control<QScrollBar>("ScrollBar1")->setValue(left.scroll);
        w.Control<TFloatSpinEdit>("SpeedEd")->SetValue(left.speed);  // coupled: the pitch follows
        ASSERT_EQ(placeOf(w), left);

        test::OpenAndWait(w.form, Q(b));  // another file starts fresh
        EXPECT_EQ(w.form.Document().SelAnchor, 0);
        EXPECT_EQ(w.Control<QSpinBox>("ZoomOutEd")->value(), wholeFile);

        test::OpenAndWait(w.form, Q(a));
        EXPECT_EQ(placeOf(w), left);
        EXPECT_NEAR(w.form.PlayState().SpeedFactor, 0.5, 1e-9) << "the playback takes the restored fields";
        // The open dialog's closing click is cleared by Timer1; the remembered selection stays.
        w.form.Document().SelAnchor = 7;
        w.form.Timer1Timer();
        EXPECT_EQ(w.form.Document().SelAnchor, left.selAnchor);
        w.form.close();  // remembers where the user was in a.wav
    }
    {
        Window w(dir);  // the next run
        test::OpenAndWait(w.form, Q(a));
        EXPECT_EQ(placeOf(w), left);
        test::OpenAndWait(w.form, Q(b));
    }
    std::filesystem::last_write_time(a, std::filesystem::last_write_time(a) + std::chrono::seconds(3));
    Window w(dir);
    test::OpenAndWait(w.form, Q(a));
    EXPECT_EQ(w.form.Document().SelAnchor, 0) << "a changed file starts fresh";
    EXPECT_EQ(w.form.Document().SelEnd, 0);
}

TEST(FileMemory, SavingOverTheOpenedFileKeepsItsPlace) {
    test::TempDir dir;
    const std::string a = SilentWav(dir, "a.wav"), b = SilentWav(dir, "b.wav");
    Window w(dir);
    test::OpenAndWait(w.form, Q(a));
    w.form.Document().SelAnchor = 1000;
    w.form.Document().SelEnd = 50000;
    test::AnswerSaveDialog(w.form, a, 2);
    w.form.SaveBtnClick();
    ASSERT_TRUE(test::WaitUntilIdle(w.form));
    ASSERT_TRUE(w.messages.isEmpty()) << w.messages.join('\n').toStdString();
    test::OpenAndWait(w.form, Q(b));
    test::OpenAndWait(w.form, Q(a));
    EXPECT_EQ(w.form.Document().SelAnchor, 1000) << "the program's own save is no change by another";
    EXPECT_EQ(w.form.Document().SelEnd, 50000);
}

QMimeData* FileDrag(const std::string& path) {
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(Q(path))});
    return data;
}

bool SendDragEnter(QWidget& target, const QMimeData* data) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&target, &enter);
    return enter.isAccepted();
}

// A drop, after the drag entering the window as it always does first (Qt delivers drops
// only to a widget that accepted the drag).
void SendDrop(QWidget& target, const QMimeData* data) {
    SendDragEnter(target, data);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
}

TEST(DragAndDrop, ADroppedFileOpensAndAPlayingSoundStopsFirst) {
    test::TempDir dir;
    const std::string a = SilentWav(dir, "a.wav"), b = SilentWav(dir, "b.wav");
    Window w(dir);
    std::unique_ptr<QMimeData> text(new QMimeData);
    text->setText("not a file");
    EXPECT_FALSE(SendDragEnter(w.form, text.get()));
    std::unique_ptr<QMimeData> dragA(FileDrag(a));
    EXPECT_TRUE(SendDragEnter(w.form, dragA.get()));
    SendDrop(w.form, dragA.get());
    EXPECT_TRUE(w.Await([&] { return w.form.OpenedFile() == Q(a); }));

    w.Control<QCheckBox>("SchleifeCheck")->setChecked(true);  // plays until stopped
    std::unique_ptr<QMimeData> dragB(FileDrag(b));
    bool playedWhenDropped = false;
    w.During(50, [&] {
        playedWhenDropped = w.Control<QPushButton>("StopBtn")->isEnabled();
        SendDrop(w.form, dragB.get());
    });
    w.form.PlayBtnClick();  // returns once the drop has stopped it
    EXPECT_TRUE(playedWhenDropped);
    EXPECT_TRUE(w.Await([&] { return w.form.OpenedFile() == Q(b); }));
    EXPECT_TRUE(w.messages.isEmpty());
}

struct KeysFixture : ::testing::Test {
    test::TempDir dir;
    Window w{dir};
    TPaintBox* view = w.Control<TPaintBox>("PaintBox1");
    QPushButton* stopBtn = w.Control<QPushButton>("StopBtn");

    KeysFixture() {
        test::OpenAndWait(w.form, Q(SilentWav(dir, "a.wav")));
        w.Control<QCheckBox>("SchleifeCheck")->setChecked(true);
        w.form.show();
        QApplication::setActiveWindow(&w.form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w.form));
    }
    // Presses `key` on `target`; a play loop it starts wrongly is stopped after 300 ms.
    bool PressStartsPlaying(QWidget* target, Qt::Key key) {
        bool started = false;
        w.During(300, [&] {
            if (stopBtn->isEnabled()) started = true, stopBtn->click();
        });
        QTest::keyClick(target, key);
        QTest::qWait(350);
        return started;
    }
};

TEST_F(KeysFixture, SpacePlaysAndPausesUnlessTypedOrPressingAButton) {
    view->setFocus();
    bool playing = false, paused = false, resumed = false;
    w.During(50, [&] {
        playing = stopBtn->isEnabled();
        QTest::keyClick(view, Qt::Key_Space);
        paused = w.form.PlayState().Paused.load();
        QTest::keyClick(view, Qt::Key_Space);
        resumed = !w.form.PlayState().Paused.load();
        stopBtn->click();
    });
    QTest::keyClick(view, Qt::Key_Space);  // returns when playback has ended
    EXPECT_TRUE(playing);
    EXPECT_TRUE(paused);
    EXPECT_TRUE(resumed);

    auto* speedEd = w.Control<TFloatSpinEdit>("SpeedEd");
    speedEd->setFocus();
    EXPECT_FALSE(PressStartsPlaying(speedEd, Qt::Key_Space)) << "typed into the field";
    EXPECT_DOUBLE_EQ(speedEd->value(), 1.0);

    auto* loop = w.Control<QCheckBox>("SchleifeCheck");
    loop->setFocus();  // reached with Tab
    EXPECT_FALSE(PressStartsPlaying(loop, Qt::Key_Space));
    EXPECT_FALSE(loop->isChecked()) << "space pressed the check box";
}

TEST_F(KeysFixture, HotKeysWorkInsideTheWindowAndCountOnceWhenAlsoGlobal) {
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(w.form.PlayState().SpeedFactor, 0.9, 1e-9);
    QTest::keyClick(view, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_NEAR(w.form.PlayState().SpeedFactor, 1.0, 1e-9);

    // A desktop that delivers the global key and the window key for one press.
    ASSERT_NE(w.keys, nullptr);
    w.keys->Press(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F11);
    QTest::keyClick(view, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(w.form.PlayState().SpeedFactor, 0.9, 1e-9);
    QTest::qWait(200);
    QTest::keyClick(view, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(w.form.PlayState().SpeedFactor, 0.8, 1e-9) << "a later press counts again";
    w.keys->Press(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F11);  // the same press, the other way
    EXPECT_NEAR(w.form.PlayState().SpeedFactor, 0.8, 1e-9);
    QTest::keyClick(view, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);  // two window presses
    EXPECT_NEAR(w.form.PlayState().SpeedFactor, 0.7, 1e-9);
}

TEST_F(KeysFixture, CtrlOOpensTheOpenDialog) {
    view->setFocus();
    QString shown;
    w.During(100, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shown = dialog->metaObject()->className();
            dialog->close();
        }
    });
    QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shown, "sonvira::TOpenDialog");
}

}  // namespace
}  // namespace sonvira
