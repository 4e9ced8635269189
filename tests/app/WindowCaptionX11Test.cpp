// Window captions as a real X server sees them (the Xvfb display test.sh starts): exactly
// the window's own caption, with nothing of Qt's (such as " — <program>") added.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

#include "ControlByName.h"
#include "QtWait.h"
#include "SonviraApplication.h"
#include "TAboutBox.h"
#include "TMainForm.h"
#include "TempDir.h"
#include "TranslationContext.h"
#include "Win1252.h"

namespace sonvira {
namespace {

// The title a window manager shows: _NET_WM_NAME (UTF-8) of the X window, read over a
// connection of our own.
class XTitles {
public:
    XTitles() : c_(xcb_connect(nullptr, nullptr)) {
        utf8_ = Atom("UTF8_STRING");
        netWmName_ = Atom("_NET_WM_NAME");
    }
    ~XTitles() { xcb_disconnect(c_); }
    QString Of(const QWidget& window) {
        const auto id = static_cast<xcb_window_t>(window.winId());
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, id, netWmName_, utf8_, 0, 1024),
                                   nullptr),
            &std::free);
        if (!reply) return {};
        return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                 xcb_get_property_value_length(reply.get()));
    }

private:
    xcb_atom_t Atom(const char* name) {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(strlen(name)), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    xcb_connection_t* c_;
    xcb_atom_t utf8_ = XCB_ATOM_NONE, netWmName_ = XCB_ATOM_NONE;
};

// A started main window in English whose program title has a translation of its own.
struct CaptionFixture : ::testing::Test {
    test::TempDir dir;
    std::unique_ptr<TMainForm> form;
    XTitles titles;

    void SetUp() override {
        ASSERT_NE(qApp, nullptr) << "needs an X display: DISPLAY is not set (test.sh starts Xvfb and sets it)";
        {
            TranslationContext table;
            table.OpenTranslationTable(dir.file("translate.dbf"));
            for (const auto& [german, english] :
                 {std::pair{"Sonvira", "Sonvira Player"}, {"Info", "About"}}) {
                const std::string row[] = {Utf8ToWin1252(german), english};
                table.Table().AppendRecord(row);
            }
        }
        test::WriteBytes(dir.file("options.dat"), {1, 0, 0, 0});
        form = std::make_unique<TMainForm>(QString::fromStdString(dir.path().string()));
        form->SetCommandLine({});
        form->show();
    }
    // Waits (at most 5 s) until the X window of `window` carries `expected`; the last title read.
    QString TitleOnceSettled(const QWidget& window, const QString& expected) {
        QString seen;
        test::WaitUntil([&] { return (seen = titles.Of(window)) == expected; }, 5000);
        return seen;
    }
};

TEST_F(CaptionFixture, WindowsShownAfterStartUpKeepTheirOwnCaption) {
    EXPECT_EQ(TitleOnceSettled(*form, "Orlanda Sonvira 1.0").toStdString(), "Orlanda Sonvira 1.0");
    auto* aboutBox = test::Control<TAboutBox>(*form, "AboutBox");
    aboutBox->show();
    EXPECT_EQ(TitleOnceSettled(*aboutBox, "About").toStdString(), "About");
    aboutBox->hide();
}

TEST_F(CaptionFixture, MessageBoxCaptionIsTheTranslatedProgramTitleAlone) {
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = TitleOnceSettled(*box, "Sonvira Player");
        box->accept();
    });
    form->ShowMessage(QMessageBox::Critical, "Konnte Datei nicht öffnen!");
    EXPECT_EQ(seen.toStdString(), "Sonvira Player");
}

}  // namespace
}  // namespace sonvira

// Captions need the xcb platform whatever ctest's environment asks for; without a display
// the tests fail with a message instead of the program aborting.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<sonvira::SonviraApplication> app;
    if (std::getenv("DISPLAY") != nullptr) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        app = std::make_unique<sonvira::SonviraApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
