// Which key combination reaches the window under which id, through the fake that
// window tests use.

#include <gtest/gtest.h>

#include "FakeGlobalHotKeys.h"
#include "PlaybackHotKeys.h"

#include <QCoreApplication>
#include <vector>

namespace sonvira {
namespace {

struct Combination {
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
    int id;  // -1: not a hot key
};

TEST(PlaybackHotKeys, EveryCombinationReachesItsId_OthersNothing) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    FakeGlobalHotKeys keys;
    EXPECT_EQ(RegisterPlaybackHotKeys(keys), 5);
    std::vector<int> arrived;
    QObject::connect(&keys, &GlobalHotKeys::Activated, [&](int id) { arrived.push_back(id); });

    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Combination cases[] = {
        {Qt::NoModifier, Qt::Key_F11, kHotKeyPlayPause},
        {ctrl | Qt::AltModifier, Qt::Key_F11, kHotKeySlower},
        {ctrl | Qt::ShiftModifier, Qt::Key_F11, kHotKeySlower},
        {ctrl | Qt::AltModifier, Qt::Key_F12, kHotKeyFaster},
        {ctrl | Qt::ShiftModifier, Qt::Key_F12, kHotKeyFaster},
        {Qt::NoModifier, Qt::Key_F12, -1},
        {Qt::ShiftModifier, Qt::Key_F11, -1},
        {ctrl, Qt::Key_F11, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " modifiers " << c.modifiers.toInt());
        arrived.clear();
        EXPECT_EQ(keys.Press(c.modifiers, c.key), c.id >= 0);
        EXPECT_EQ(arrived, c.id >= 0 ? std::vector<int>{c.id} : std::vector<int>{});
    }
}

}  // namespace
}  // namespace sonvira
