#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QTimer>
#include <cstring>

#include "TEchoForm.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "ControlByName.h"
#include "TempDir.h"
#include "WaitForJob.h"

namespace sonvira {
namespace {

// The main window with a 16-bit mono sound of 1000 frames counting 0, 1, 2, …
struct EditFixture : ::testing::Test {
    test::TempDir dir;
    TMainForm form{QString::fromStdString(dir.path().string())};
    AudioDocument& doc = form.Document();
    TEchoForm* echoForm = test::Control<TEchoForm>(form, "EchoForm");
    QStringList messages;

    EditFixture() {
        form.ShowMessage = [this](QMessageBox::Icon, const QString& text) { messages << text; };
        test::Control<TPaintBox>(form, "PaintBox1")->resize(100, 100);
        auto* block = static_cast<uint8_t*>(std::malloc(2000));
        for (int16_t i = 0; i < 1000; ++i) std::memcpy(block + 2 * i, &i, 2);
        doc.InstallBlock(block, 2000, 1000, false, true);
    }
    int16_t Sample(int i) const {
        int16_t s;
        std::memcpy(&s, doc.SampleData + 2 * i, 2);
        return s;
    }
    // Answers the next time-span dialog with `seconds`, or cancels it when negative.
    void AnswerSpan(double seconds) {
        QTimer::singleShot(0, [this, seconds] {
            if (seconds < 0) {
                echoForm->reject();
                return;
            }
            echoForm->ZeitEd->setValue(seconds);
            echoForm->accept();
        });
    }
};

TEST_F(EditFixture, CropFromTheMenuInstallsTheSelectionAndZoomsToIt) {
    doc.SelAnchor = 600;
    doc.SelEnd = 100;
    form.MenuItem("ZurAuswahlzurechtschneiden1")->trigger();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(doc.DataSize, 1000);
    EXPECT_EQ(Sample(0), 100);
    EXPECT_EQ(Sample(499), 599);
    EXPECT_EQ(doc.SelAnchor, 0);
    EXPECT_EQ(test::Control<QSpinBox>(form, "ZoomOutEd")->value(), 5);  // 500 samples over 100 columns
}

TEST_F(EditFixture, EffectsAskForTheirSpanAndReportFailures) {
    AnswerSpan(-1);  // cancelled: nothing happens
    form.MenuItem("Weicheinblenden1")->trigger();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(Sample(999), 999);

    AnswerSpan(0.0001);  // shorter than one frame at 1000 Hz
    form.MenuItem("Weicheinblenden1")->trigger();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(messages, QStringList("Invalid floating point operation"));
    EXPECT_EQ(Sample(999), 999);

    form.MenuItem("Rckwrts1")->trigger();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(Sample(0), 0) << "with nothing selected the first frame stays";
    EXPECT_EQ(Sample(1), 999);
    form.MenuItem("Schneller101")->trigger();
    ASSERT_TRUE(test::WaitUntilIdle(form));
    EXPECT_EQ(doc.SampleRate.load(), 1100);
}

}  // namespace
}  // namespace sonvira
