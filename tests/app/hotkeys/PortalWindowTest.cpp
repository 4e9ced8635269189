// The main window with the hot keys a Wayland session gets: the portal's shortcuts
// move the speed field; without the portal the hint label says once that the keys
// only work while the window has the focus.

#include <gtest/gtest.h>

#include "ControlByName.h"
#include "FakePortal.h"
#include "PortalHotKeysWithFallback.h"
#include "PrivateSessionBus.h"
#include "QtWait.h"
#include "SessionHotKeys.h"
#include "ShippedTranslations.h"
#include "TFloatSpinEdit.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "TempDir.h"
#include "TranslationContext.h"

#include <QCheckBox>
#include <QLabel>
#include <fstream>
#include <memory>
#include <optional>

namespace sonvira {
namespace {

constexpr int kAnswerLimitMs = 5000;
const QString kGermanNote =
    "Auf diesem Desktop wirken die Tasten nur, solange das Programmfenster den Fokus hat.";
const QString kEnglishNote = "On this desktop the keys only work while the program window has the focus.";

class PortalWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(bus.Address().isEmpty()) << bus.Error().toStdString(); }

    // The window as the program makes it, its hot keys chosen for `source` and asked
    // for on the private bus.
    void MakeWindow(HotKeySource source) {
        PlatformParts platform;
        platform.makeHotKeys = [this, source](QWidget* owner) {
            return MakeSessionHotKeys(source, bus.Connect(), owner);
        };
        form = std::make_unique<TMainForm>(QString::fromStdString(dir.path().string()), platform);
        form->SetCommandLine({});
        form->ShowMessage = [](QMessageBox::Icon, const QString& text) { ADD_FAILURE() << text.toStdString(); };
        test::Control<TPaintBox>(*form, "PaintBox1")->resize(100, 100);
    }
    QString Hint() const { return test::Control<QLabel>(*form, "HintLabel")->text(); }
    // The shipped texts in the window's table and `language` stored as the user's choice.
    void ShipTranslations(uint8_t language) {
        std::ifstream tsv(SONVIRA_SOURCE_DIR "/src/i18n/shipped/translations.tsv");
        const auto rows = ReadShippedTranslations(tsv);
        TranslationContext table;
        table.OpenTranslationTable(dir.file("translate.dbf"));
        MergeShippedTranslations(table.Table(), rows);
        test::WriteBytes(dir.file("options.dat"), {language, 0, 0, 0});
    }

    test::PrivateSessionBus bus;
    test::TempDir dir;
    std::unique_ptr<TMainForm> form;
};

// Newer desktops bind from BindShortcuts, Plasma 5.27 from CreateSession's options.
TEST_F(PortalWindowTest, SlowerAndFasterFromThePortalMoveTheSpeedField) {
    using test::FakePortalBackend;
    const FakePortalBackend backends[] = {FakePortalBackend::BindsAsked,
                                          FakePortalBackend::BindsFromCreateSession};
    for (const auto backend : backends) {
        SCOPED_TRACE(static_cast<int>(backend));
        test::FakePortal portal(bus.Connect(), {.backend = backend});
        ASSERT_TRUE(portal.Registered());
        MakeWindow(HotKeySource::PortalThenX11Grabs);
        form->FormShow();
        test::Control<QCheckBox>(*form, "PitchSpeedCombineCheck")->setChecked(false);
        auto* speedEd = test::Control<TFloatSpinEdit>(*form, "SpeedEd");
        ASSERT_TRUE(test::WaitUntil([&] { return portal.BoundShortcuts().size() == 3; }, kAnswerLimitMs));

        const struct {
            const char* press;
            double speed;
        } steps[] = {{"slower", 0.9}, {"slower", 0.8}, {"faster", 0.9}};
        for (const auto& step : steps) {
            portal.Press(step.press);
            EXPECT_TRUE(
                test::WaitUntil([&] { return std::abs(speedEd->Value() - step.speed) < 1e-9; }, kAnswerLimitMs))
                << step.press << ": speed " << speedEd->Value() << ", expected " << step.speed;
            EXPECT_NEAR(form->PlayState().SpeedFactor, speedEd->Value(), 1e-9);
        }
        test::WaitUntil([] { return false; }, 100);  // the binding's answer, if still queued
        EXPECT_FALSE(Hint().contains(kGermanNote)) << "the portal's keys work without the focus";
        form.reset();
    }
}

// The portal's answer may come before the first showing (whose walk translates the
// label) or after it; either way the note stands once, in the window's language. A
// desktop that answers but leaves keys unbound gets the note as well.
TEST_F(PortalWindowTest, WithoutThePortalTheHintSaysOnceThatTheKeysNeedTheFocus) {
    using test::FakePortalBackend;
    using test::FakePortalBehaviour;
    const struct {
        const char* what;
        HotKeySource source;
        bool showFirst;
        uint8_t language;
        QString note;                               // empty: none
        std::optional<FakePortalBehaviour> portal;  // none: no portal on the bus
    } cases[] = {
        {"Wayland, answer before the showing", HotKeySource::PortalThenX11Grabs, false, 0, kGermanNote, {}},
        {"Wayland, answer after the showing", HotKeySource::PortalThenX11Grabs, true, 0, kGermanNote, {}},
        {"Wayland in English", HotKeySource::PortalThenX11Grabs, false, 1, kEnglishNote, {}},
        {"Wayland in English, after the showing", HotKeySource::PortalThenX11Grabs, true, 1, kEnglishNote, {}},
        {"X11 session", HotKeySource::X11Grabs, true, 0, {}, {}},
        {"desktop that binds nothing", HotKeySource::PortalThenX11Grabs, true, 0, kGermanNote,
         FakePortalBehaviour{.backend = FakePortalBackend::BindsNothing}},
        {"desktop that leaves one key unbound", HotKeySource::PortalThenX11Grabs, false, 1, kEnglishNote,
         FakePortalBehaviour{.declines = {"faster"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<test::FakePortal> portal;
        if (c.portal) {
            portal = std::make_unique<test::FakePortal>(bus.Connect(), *c.portal);
            ASSERT_TRUE(portal->Registered());
        }
        ShipTranslations(c.language);
        MakeWindow(c.source);
        auto* keys = form->findChild<PortalHotKeysWithFallback*>();
        ASSERT_EQ(keys != nullptr, c.source == HotKeySource::PortalThenX11Grabs);
        if (c.showFirst) form->FormShow();
        if (keys) {
            ASSERT_TRUE(test::WaitUntil([&] { return keys->UsingFallback(); }, kAnswerLimitMs));
        }
        if (!c.showFirst) form->FormShow();
        test::WaitUntil([] { return false; }, 100);  // anything still queued

        const QString hint = Hint();
        for (const QString& note : {kGermanNote, kEnglishNote})
            EXPECT_EQ(hint.count(note), note == c.note ? 1 : 0) << hint.toStdString();
        EXPECT_TRUE(c.note.isEmpty() || hint.endsWith(" " + c.note)) << hint.toStdString();
        EXPECT_TRUE(hint.startsWith(c.language == 0 ? "Mit F11" : "With F11")) << hint.toStdString();
        form.reset();
    }
}

}  // namespace
}  // namespace sonvira
