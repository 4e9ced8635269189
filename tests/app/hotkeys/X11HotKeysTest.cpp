// The X11 key grabs on a real X server (the Xvfb display that test.sh starts): keys
// pressed with xdotool arrive as their ids whichever window has the focus.

#include <gtest/gtest.h>

#include "PlaybackHotKeys.h"
#include "QtWait.h"
#include "X11GlobalHotKeys.h"
#include "X11Keyboard.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <X11/keysym.h>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace sonvira {
namespace {

// Sends keys with xdotool (e.g. "F11", "ctrl+shift+F12"); false when it failed or
// took longer than 5 s.
bool PressKeys(const QString& keys) {
    QProcess xdotool;
    xdotool.start("xdotool", {"key", keys});
    if (!xdotool.waitForFinished(5000)) {
        xdotool.kill();
        xdotool.waitForFinished(1000);
        return false;
    }
    return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

// A second X client: holds keys and windows of its own, as another program would.
class OtherClient {
public:
    OtherClient() : c_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~OtherClient() { xcb_disconnect(c_); }
    bool GrabKeyCode(xcb_keycode_t code) {
        xcb_generic_error_t* error = xcb_request_check(
            c_, xcb_grab_key_checked(c_, 0, root_, 0, code, XCB_GRAB_MODE_ASYNC,
                                     XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    // A mapped window of this client that takes the keyboard focus.
    void FocusOwnWindow() {
        const xcb_window_t window = xcb_generate_id(c_);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(c_, window);
        free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));  // mapped
        xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }
    xcb_connection_t* Connection() const { return c_; }

private:
    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
};

class X11HotKeys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(qApp, nullptr)
            << "needs an X display: DISPLAY is not set (test.sh starts Xvfb and sets it)";
        keys = std::make_unique<X11GlobalHotKeys>();
        QObject::connect(keys.get(), &GlobalHotKeys::Activated,
                         [this](int id) { arrived.push_back(id); });
    }
    // Presses the keys and returns the ids that arrived within a short wait.
    std::vector<int> Arrivals(const QString& press, size_t expected) {
        arrived.clear();
        EXPECT_TRUE(PressKeys(press)) << "xdotool key " << press.toStdString();
        // None expected: watch the whole while, or a stray key would go unseen.
        test::WaitUntil([&] { return expected > 0 && arrived.size() >= expected; },
                        expected ? 3000 : 300);
        return arrived;
    }
    std::unique_ptr<X11GlobalHotKeys> keys;
    std::vector<int> arrived;
};

TEST_F(X11HotKeys, PlaybackKeysArriveWithTheirIds_OtherKeysDoNot) {
    ASSERT_EQ(RegisterPlaybackHotKeys(*keys), 5);
    struct Case {
        const char* press;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"F11", {kHotKeyPlayPause}},
        {"ctrl+shift+F12", {kHotKeyFaster}},
        {"ctrl+shift+F11", {kHotKeySlower}},
        {"F12", {}},
        {"shift+F11", {}},
        {"F10", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Arrivals(c.press, c.ids.size()), c.ids) << c.press;
    }
}

TEST_F(X11HotKeys, CapsLockAndNumLockDoNotHideTheKey) {
    ASSERT_TRUE(keys->Register(kHotKeyPlayPause, Qt::NoModifier, Qt::Key_F11));
    for (const char* lock : {"Caps_Lock", "Num_Lock"}) {
        ASSERT_TRUE(PressKeys(lock));  // lock on
        EXPECT_EQ(Arrivals("F11", 1), std::vector<int>{kHotKeyPlayPause}) << lock;
        EXPECT_EQ(Arrivals("ctrl+shift+F11", 0), std::vector<int>{}) << lock;
        ASSERT_TRUE(PressKeys(lock));  // lock off again
    }
}

TEST_F(X11HotKeys, ArriveWhileAnotherProgramOrOurOwnWindowHasTheFocus) {
    ASSERT_TRUE(keys->Register(kHotKeyFaster, Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F12));
    OtherClient other;
    other.FocusOwnWindow();
    EXPECT_EQ(Arrivals("ctrl+shift+F12", 1), std::vector<int>{kHotKeyFaster});

    QWidget own;
    own.show();
    own.activateWindow();
    ASSERT_TRUE(test::WaitUntil([&] { return own.isActiveWindow(); }, 2000));
    EXPECT_EQ(Arrivals("ctrl+shift+F12", 1), std::vector<int>{kHotKeyFaster});
}

TEST_F(X11HotKeys, KeyHeldByAnotherProgram_RefusedWithoutHarmToTheOthers) {
    OtherClient other;
    const xcb_keycode_t f9 = KeyCodeForKeySym(other.Connection(), XK_F9);
    ASSERT_NE(f9, 0);
    ASSERT_TRUE(other.GrabKeyCode(f9));
    ASSERT_TRUE(keys->Register(kHotKeyPlayPause, Qt::NoModifier, Qt::Key_F11));
    EXPECT_FALSE(keys->Register(kHotKeySlower, Qt::NoModifier, Qt::Key_F9));
    EXPECT_FALSE(keys->Register(kHotKeySlower, Qt::NoModifier, Qt::Key_Escape));  // not an F key
    EXPECT_EQ(Arrivals("F11", 1), std::vector<int>{kHotKeyPlayPause});
}

}  // namespace
}  // namespace sonvira

// The hot keys need the xcb platform whatever ctest's environment asks for; without
// a display the tests fail with a message instead of the program aborting.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (std::getenv("DISPLAY") != nullptr) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        app = std::make_unique<QApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
