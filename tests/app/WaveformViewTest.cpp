#include <gtest/gtest.h>

#include <QMenu>
#include <cstring>

#include "TMainForm.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"
#include "ControlByName.h"
#include "TempDir.h"
#include "WaveformDrawing.h"

namespace sonvira {
namespace {

const QRgb kBackground = qRgb(96, 0, 0), kBand = qRgb(128, 128, 255), kLine = qRgb(0, 255, 0),
           kAnchor = qRgb(0, 255, 255);

// A document over a caller-owned copy of the samples (released before the test ends).
struct Document {
    AudioDocument doc;
    Document(std::vector<uint8_t> bytes, bool is16, bool stereo = false) {
        auto* block = static_cast<uint8_t*>(std::malloc(bytes.size()));
        std::memcpy(block, bytes.data(), bytes.size());
        doc.InstallBlock(block, static_cast<int32_t>(bytes.size()), 44100, stereo, is16);
    }
};

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000; }

TEST(DrawWaveform, AnchorLineBandAndBackground) {
    Document d(std::vector<uint8_t>(4000, 0), true);
    QImage image(100, 60, QImage::Format_RGB32);

    d.doc.SelAnchor = d.doc.SelEnd = 700;  // Z = 100, P = 5: column (700 - 500) / 100 = 2
    DrawWaveform(image, d.doc, {5, 100}, -1);
    EXPECT_EQ(Pixel(image, 2, 5), kAnchor);
    EXPECT_EQ(Pixel(image, 3, 5), kBackground) << "no band when anchor equals end";

    d.doc.SelEnd = 1500;  // band from column 2 to 10
    DrawWaveform(image, d.doc, {5, 100}, -1);
    EXPECT_EQ(Pixel(image, 6, 5), kBand);
    EXPECT_EQ(Pixel(image, 2, 5), kAnchor);
    EXPECT_EQ(Pixel(image, 20, 5), kBackground);
}

TEST(DrawWaveform, SamplesLandOnTheirRows) {
    // Column x shows sample x at zoom 1; a flat run draws a horizontal line at its row.
    const int h = 101;
    QImage image(40, h, QImage::Format_RGB32);
    {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < 20; ++i) {  // 16-bit value 16384: row 16384 * 100 / 65536 + 50 = 75
            bytes.push_back(0x00);
            bytes.push_back(0x40);
        }
        Document d(bytes, true);
        DrawWaveform(image, d.doc, {0, 1}, -1);
        EXPECT_EQ(Pixel(image, 10, 75), kLine);
        EXPECT_EQ(Pixel(image, 30, 75), kBackground) << "nothing beyond the end";
    }
    {
        Document d(std::vector<uint8_t>(20, 51), false);  // 8-bit 51: row 51 * 100 / 255 = 20
        DrawWaveform(image, d.doc, {0, 1}, -1);
        EXPECT_EQ(Pixel(image, 10, 20), kLine);
        EXPECT_EQ(Pixel(image, 10, 21), kBackground);
    }
    {
        AudioDocument empty;
        DrawWaveform(image, empty, {0, 100}, -1);
        EXPECT_EQ(Pixel(image, 10, 50), kBackground);
        EXPECT_EQ(Pixel(image, 0, 50), kAnchor);
    }
}

TEST(DrawWaveform, PlayMarkerInvertsAndASecondDrawRestores) {
    Document d(std::vector<uint8_t>(200, 0), true);
    QImage image(50, 30, QImage::Format_RGB32);
    d.doc.SelAnchor = 0;
    d.doc.SelEnd = 10;
    DrawWaveform(image, d.doc, {0, 1}, 5);
    EXPECT_EQ(Pixel(image, 5, 2), qRgb(127, 127, 0)) << "band inverted";
    EXPECT_EQ(Pixel(image, 20, 2), kBackground);
    InvertColumn(image, 5);
    EXPECT_EQ(Pixel(image, 5, 2), kBand);
    DrawWaveform(image, d.doc, {0, 1}, 20);
    EXPECT_EQ(Pixel(image, 20, 2), qRgb(159, 255, 255)) << "background inverted";
}

// The main window with a 760-column view.
struct ViewFixture : ::testing::Test {
    test::TempDir dir;
    TMainForm form{QString::fromStdString(dir.path().string())};
    AudioDocument& doc = form.Document();
    QSpinBox* zoomOutEd = test::Control<QSpinBox>(form, "ZoomOutEd");
    QScrollBar* scrollBar1 = test::Control<QScrollBar>(form, "ScrollBar1");
    ViewFixture() { test::Control<TPaintBox>(form, "PaintBox1")->resize(760, 300); }
    void Load(int32_t bytes, bool is16, bool stereo) {
        auto* block = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1));
        doc.InstallBlock(block, bytes, 44100, stereo, is16);
    }
};

TEST_F(ViewFixture, ZoomSetsScrollRangeAndKeepsTheFraction) {
    Load(2000, true, false);  // 1000 samples
    zoomOutEd->setValue(2);
    zoomOutEd->setValue(1);
    EXPECT_EQ(scrollBar1->maximum(), 240);
    zoomOutEd->setValue(2);
    EXPECT_EQ(scrollBar1->maximum(), 1);

    Load(400000, true, false);
    zoomOutEd->setValue(100);
    scrollBar1->setMaximum(1000);
    scrollBar1->setValue(50);
    zoomOutEd->setValue(150);
    const int m = (200000 - 760 * 150) / 150;
    EXPECT_EQ(scrollBar1->maximum(), m);
    EXPECT_EQ(scrollBar1->value(), 50 * m / 1000);
}

TEST_F(ViewFixture, ZoomStepsRoundHalfToEven) {
    struct Case {
        int from;
        void (TMainForm::*command)();
        int to;
    } cases[] = {
        {1, &TMainForm::ZoomKleinerBtnClick, 2},   {3, &TMainForm::ZoomKleinerBtnClick, 4},
        {9, &TMainForm::ZoomKleinerBtnClick, 14},  {100, &TMainForm::ZoomGroesserBtnClick, 67},
        {1, &TMainForm::ZoomGroesserBtnClick, 1},  {900000, &TMainForm::ZoomKleinerBtnClick, 1000000},
        {50, &TMainForm::ZoomInFullClick, 1},
    };
    for (const auto& c : cases) {
        zoomOutEd->setValue(c.from);
        (form.*c.command)();
        EXPECT_EQ(zoomOutEd->value(), c.to) << c.from;
    }
}

TEST_F(ViewFixture, WholeFileAndSelectionZoom) {
    Load(1000000, true, true);  // 500000 samples
    form.ZoomOutFullClick();
    EXPECT_EQ(zoomOutEd->value(), 658);  // 657.89 rounds up

    doc.SelAnchor = 300000;
    doc.SelEnd = 224000;  // 76000 / 760 = 100
    form.ZoomSelClick();
    EXPECT_EQ(zoomOutEd->value(), 100);
    EXPECT_EQ(scrollBar1->value(), 2240);
}

TEST_F(ViewFixture, MouseSelectsAndSetsThePlayPosition) {
    Load(40, true, true);  // 20 sample positions
    zoomOutEd->setValue(2);
    zoomOutEd->setValue(1);
    scrollBar1->setValue(0);
    form.PaintBox1MouseDown(3);
    EXPECT_EQ(doc.SelAnchor, 3);
    form.PaintBox1MouseMove(6, false);
    EXPECT_EQ(doc.SelEnd, 3) << "moves without the left button do nothing";
    form.PaintBox1MouseMove(6, true);
    EXPECT_EQ(doc.SelEnd, 6);
    form.PaintBox1MouseUp(9);
    EXPECT_EQ(doc.SelEnd, 9);
    EXPECT_EQ(form.PlayState().PlayPosition, 4) << "stereo: sample position 9 is frame 4";
    form.PaintBox1MouseDown(500);
    EXPECT_EQ(doc.SelAnchor, 19) << "beyond the end: the last sample";
    form.PaintBox1MouseDown(-5);
    EXPECT_EQ(doc.SelAnchor, 0);

    doc.ReleaseBlock();
    form.PaintBox1MouseDown(10);
    EXPECT_EQ(doc.SelAnchor, -1) << "an empty document stores -1";
}

TEST_F(ViewFixture, OpeningTheEffectsMenuScrollsBack) {
    scrollBar1->setMaximum(100);
    scrollBar1->setValue(25);
    emit form.findChild<QMenu*>("Effekte")->aboutToShow();
    EXPECT_EQ(scrollBar1->value(), 15);
    scrollBar1->setValue(4);
    form.BackBtnClick();
    EXPECT_EQ(scrollBar1->value(), 0);
}

TEST(ProgressPanel, GrowsShrinksAndIgnoresOutOfRange) {
    TProgressPanel panel(nullptr);
    panel.resize(50, 19);
    const QRgb navy = qRgb(0, 0, 128);
    panel.SetProStatus(50);  // before the first paint: stored, nothing visible
    EXPECT_EQ(panel.ProgressPercent, 50);
    EXPECT_TRUE(panel.ProgressRect.isEmpty());
    panel.grab();  // first paint shows half a bar
    EXPECT_EQ(panel.Canvas().pixel(24, 5) | 0xFF000000, navy);
    EXPECT_NE(panel.Canvas().pixel(26, 5) | 0xFF000000, navy);

    panel.SetProStatus(150);
    panel.SetProStatus(-1);
    EXPECT_EQ(panel.ProgressPercent, 50);
    panel.SetProStatus(80);  // only adds navy
    EXPECT_EQ(panel.Canvas().pixel(39, 5) | 0xFF000000, navy);
    EXPECT_NE(panel.Canvas().pixel(41, 5) | 0xFF000000, navy);
    panel.SetProStatus(0);  // clears the bar whole
    EXPECT_NE(panel.Canvas().pixel(0, 5) | 0xFF000000, navy);
}

}  // namespace
}  // namespace sonvira
