// The waveform view's commands: drawing, zoom, scrolling, selecting with the mouse,
// and the progress display in the status bar.
#include <QMenu>
#include <QMouseEvent>
#include <cmath>

#include "TMainForm.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"
#include "WaveformDrawing.h"

namespace sonvira {
namespace {

// The zoom field takes fractions rounded to the nearest whole number (a half to the
// even neighbour), kept within its bounds.
int ZoomFieldValue(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= 1)) return 1;
    return rounded > 1000000 ? 1000000 : static_cast<int>(rounded);
}

}  // namespace

int32_t TMainForm::ViewSampleCount() const { return Doc.Is16Bit ? Doc.DataSize / 2 : Doc.DataSize; }

void TMainForm::PaintBox1Paint() {
    DrawViewBitmap();
    PaintBox1->repaint();
}

void TMainForm::DrawViewBitmap() {
    const QSize size = PaintBox1->size();
    if (ViewBitmap.size() != size) ViewBitmap = QImage(size, QImage::Format_RGB32);
    DrawWaveform(ViewBitmap, Doc, {ScrollBar1->value(), ZoomOutEd->value()}, PlayMarkerX);
}

void TMainForm::ZoomOutEdChange() {
    const int64_t n = ViewSampleCount();
    const int64_t w = PaintBox1->width(), z = ZoomOutEd->value();
    int64_t m = (n - w * z) / z;
    if (m <= 0) m = 1;
    const int64_t p = ScrollBar1->value(), oldMax = ScrollBar1->maximum();
    ScrollBar1->setMaximum(static_cast<int>(std::min<int64_t>(m, INT32_MAX)));
    // Keep the view at the same fraction of the sound (in 64 bits: a 32-bit product
    // could wrap to a negative position on long sounds).
    if (oldMax > 0) ScrollBar1->setValue(static_cast<int>(p * m / oldMax));
    PaintBox1Paint();
}

void TMainForm::ZoomOutFullClick() {
    ZoomOutEd->setValue(ZoomFieldValue(double(ViewSampleCount()) / std::max(1, PaintBox1->width())));
}

void TMainForm::ZoomInFullClick() { ZoomOutEd->setValue(1); }

void TMainForm::ZoomSelClick() {
    const int64_t span = std::abs(int64_t(Doc.SelAnchor) - Doc.SelEnd);
    ZoomOutEd->setValue(ZoomFieldValue(double(span) / std::max(1, PaintBox1->width())));
    const int64_t start = std::min(Doc.SelAnchor, Doc.SelEnd) / int64_t(ZoomOutEd->value());
    ScrollBar1->setValue(static_cast<int>(std::clamp<int64_t>(start, 0, ScrollBar1->maximum())));
}

void TMainForm::ZoomKleinerBtnClick() { ZoomOutEd->setValue(ZoomFieldValue(ZoomOutEd->value() * 1.5)); }

void TMainForm::ZoomGroesserBtnClick() { ZoomOutEd->setValue(ZoomFieldValue(ZoomOutEd->value() / 1.5)); }

void TMainForm::BackBtnClick() { ScrollBar1->setValue(std::max(0, ScrollBar1->value() - 10)); }

int32_t TMainForm::SamplePositionAt(int x) const {
    const int64_t n = ViewSampleCount();
    int64_t v = int64_t(ZoomOutEd->value()) * (int64_t(x) + ScrollBar1->value());
    if (v < 0) v = 0;
    if (v >= n) v = n - 1;  // an empty document gives -1
    return static_cast<int32_t>(v);
}

void TMainForm::PaintBox1MouseDown(int x) {
    Doc.SelAnchor = Doc.SelEnd = SamplePositionAt(x);
    PaintBox1Paint();
}

void TMainForm::PaintBox1MouseMove(int x, bool leftButton) {
    if (!leftButton) return;
    Doc.SelEnd = SamplePositionAt(x);
    PaintBox1Paint();
}

void TMainForm::PaintBox1MouseUp(int x) {
    Doc.SelEnd = SamplePositionAt(x);
    SetPlayPosition(Doc.IsStereo ? Doc.SelEnd / 2 : Doc.SelEnd);
    PaintBox1Paint();
}

void TMainForm::SetProStatus(int32_t percent) { ProgressPanel->SetProStatus(percent); }

void TMainForm::ConnectView() {
    PaintBox1->OnRender = [this] { DrawViewBitmap(); };
    PaintBox1->OnMouseDown = [this](QMouseEvent* e) { PaintBox1MouseDown(e->position().toPoint().x()); };
    PaintBox1->OnMouseMove = [this](QMouseEvent* e) {
        PaintBox1MouseMove(e->position().toPoint().x(), e->buttons() & Qt::LeftButton);
    };
    PaintBox1->OnMouseUp = [this](QMouseEvent* e) { PaintBox1MouseUp(e->position().toPoint().x()); };
    connect(ZoomOutEd, &QSpinBox::valueChanged, this, &TMainForm::ZoomOutEdChange);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TMainForm::PaintBox1Paint);
    const struct {
        const char* button;
        const char* menuItem;
        void (TMainForm::*command)();
    } zoomCommands[] = {
        {"ZoomOutFull", "GanzeDatei1", &TMainForm::ZoomOutFullClick},
        {"ZoomInFull", "VollerZoom1", &TMainForm::ZoomInFullClick},
        {"ZoomSel", "ZoomaufAuswahl1", &TMainForm::ZoomSelClick},
        {"ZoomKleinerBtn", "Kleiner1", &TMainForm::ZoomKleinerBtnClick},
        {"ZoomGroesserBtn", "Grer1", &TMainForm::ZoomGroesserBtnClick},
    };
    for (const auto& c : zoomCommands) {
        connect(findChild<QPushButton*>(c.button), &QPushButton::clicked, this, c.command);
        connect(MenuItem(c.menuItem), &QAction::triggered, this, c.command);
    }
    connect(findChild<QMenu*>("Effekte"), &QMenu::aboutToShow, this, &TMainForm::BackBtnClick);
}

}  // namespace sonvira
