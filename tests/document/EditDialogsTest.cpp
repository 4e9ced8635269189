#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>

#include "AudioDocument.h"
#include "TBitBtnXP.h"
#include "TEchoForm.h"
#include "TSampleFormat.h"

namespace sonvira {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "document_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Shows the dialog modally and presses `button` once the dialog runs.
int ExecPressing(QDialog& dialog, QPushButton* button) {
    QTimer::singleShot(0, button, [button] { button->click(); });
    return dialog.exec();
}

QPushButton* ButtonCaptioned(QWidget& parent, const QString& caption) {
    for (auto* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == caption) return button;
    }
    return nullptr;
}

TEST(TSampleFormat, ControlsAndTheirNames) {
    App();
    TSampleFormat dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sampleformat ändern"));
    EXPECT_EQ(dialog.stereocheck->text(), QStringLiteral("Stereo (ansonsten Mono)"));
    EXPECT_EQ(dialog.bit16check->text(), QStringLiteral("16 Bit Samples (ansonsten 8 Bit)"));
    EXPECT_EQ(dialog.SamplesEd->minimum(), 1);
    EXPECT_EQ(dialog.SamplesEd->maximum(), 200000);
    EXPECT_EQ(dialog.SamplesEd->value(), 44100);
    EXPECT_EQ(dialog.SamplesEd->accessibleName(), QStringLiteral("Samples pro Sekunde:"));
    EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("Abbrechen"));
    for (auto* button : dialog.findChildren<QPushButton*>()) {
        EXPECT_EQ(button->accessibleName(), button->text());
    }
    for (auto* box : dialog.findChildren<QCheckBox*>()) {
        EXPECT_EQ(box->accessibleName(), box->text());
    }
}

TEST(TSampleFormat, PresetFromTheDocumentAndReadBack) {
    App();
    TSampleFormat dialog;
    AudioDocument doc;
    doc.SampleRate = 22050;
    doc.IsStereo = true;
    doc.Is16Bit = false;
    dialog.PresetFrom(doc);
    EXPECT_TRUE(dialog.stereocheck->isChecked());
    EXPECT_FALSE(dialog.bit16check->isChecked());
    const SampleFormat target = dialog.Target();
    EXPECT_EQ(target.SampleRate, 22050);
    EXPECT_TRUE(target.IsStereo);
    EXPECT_FALSE(target.Is16Bit);

    doc.SampleRate = 500000;  // outside the field: limited, never 0 or above 200000
    dialog.PresetFrom(doc);
    EXPECT_EQ(dialog.Target().SampleRate, 200000);
}

TEST(TSampleFormat, RateButtonsSetTheFieldAndKeepTheDialogOpen) {
    App();
    TSampleFormat dialog;
    const int rates[] = {8000, 11025, 22050, 44100};
    for (int rate : rates) {
        QPushButton* button = ButtonCaptioned(dialog, QStringLiteral("->%1 Hz").arg(rate));
        ASSERT_NE(button, nullptr) << rate;
        dialog.SamplesEd->setValue(12345);
        dialog.show();
        button->click();
        EXPECT_EQ(dialog.SamplesEd->value(), rate);
        EXPECT_TRUE(dialog.isVisible()) << rate;
        dialog.hide();
    }
}

TEST(TSampleFormat, OkAcceptsAndCancelRejects) {
    App();
    TSampleFormat dialog;
    EXPECT_EQ(ExecPressing(dialog, dialog.OKBtn), QDialog::Accepted);
    EXPECT_EQ(ExecPressing(dialog, dialog.CancelBtn), QDialog::Rejected);
}

TEST(TEchoForm, SpanFieldBoundsAndButtons) {
    App();
    TEchoForm dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Effekt"));
    EXPECT_EQ(dialog.ZeitEd->accessibleName(), QStringLiteral("Zeitspanne:"));
    EXPECT_EQ(dialog.OKBtn->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("Abbrechen"));
    bool hasUnit = false;
    for (auto* label : dialog.findChildren<QLabel*>()) hasUnit |= label->text() == "Sekunden";
    EXPECT_TRUE(hasUnit);

    struct Case {
        double set, read;
    };
    const Case cases[] = {{0.5, 0.5}, {2, 2}, {0.000001, 0.000001}, {0, 0.000001}, {1000, 100}};
    for (const auto& c : cases) {
        dialog.SetSeconds(c.set);
        EXPECT_DOUBLE_EQ(dialog.Seconds(), c.read) << c.set;
    }
    EXPECT_EQ(ExecPressing(dialog, dialog.OKBtn), QDialog::Accepted);
    EXPECT_EQ(ExecPressing(dialog, dialog.CancelBtn), QDialog::Rejected);
}

}  // namespace
}  // namespace sonvira
