// The waveform view's commands: drawing, zoom, scrolling, selecting with the mouse,
// and the progress display in the status bar.
#include <QMenu>
#include <QMouseEvent>
#include <cstdlib>

#include "TMainForm.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"
#include "WaveformDrawing.h"
#include "WaveformViewModel.h"

namespace sonvira {

ViewGeometry TMainForm::CurrentView() const {
    return {ScrollBar1->value(), ZoomOutEd->value()};
}

void TMainForm::PaintBox1Paint() {
    DrawViewBitmap();
    PaintBox1->repaint();
}

void TMainForm::DrawViewBitmap() {
    const QSize size = PaintBox1->size();
    if (soundLent_ && !ViewBitmap.isNull()) {
        // The sound is on a job's worker: the last picture, stretched to a new size.
        if (ViewBitmap.size() != size && !size.isEmpty()) ViewBitmap = ViewBitmap.scaled(size);
        return;
    }
    if (ViewBitmap.size() != size) ViewBitmap = QImage(size, QImage::Format_RGB32);
    DrawWaveform(ViewBitmap, Doc, CurrentView(), PlayMarkerX);
}

void TMainForm::ZoomOutEdChange() {
    const int32_t oldMaximum = ScrollBar1->maximum(), position = ScrollBar1->value();
    const int32_t maximum = ScrollMaximum(Doc.SampleCount(), PaintBox1->width(), ZoomOutEd->value());
    ScrollBar1->setMaximum(maximum);
    ScrollBar1->setValue(ScrollKeepingFraction(position, maximum, oldMaximum));
    PaintBox1Paint();
}

void TMainForm::ZoomOutFullClick() { ZoomOutEd->setValue(ZoomToShow(Doc.SampleCount(), PaintBox1->width())); }

void TMainForm::ZoomInFullClick() { ZoomOutEd->setValue(kMinZoom); }

void TMainForm::ZoomSelClick() {
    ZoomOutEd->setValue(ZoomToShow(std::abs(int64_t{Doc.SelAnchor} - Doc.SelEnd), PaintBox1->width()));
    ScrollBar1->setValue(
        ScrollToSelection(Doc.SelAnchor, Doc.SelEnd, ZoomOutEd->value(), ScrollBar1->maximum()));
}

void TMainForm::ZoomKleinerBtnClick() { ZoomOutEd->setValue(ZoomedOut(ZoomOutEd->value())); }

void TMainForm::ZoomGroesserBtnClick() { ZoomOutEd->setValue(ZoomedIn(ZoomOutEd->value())); }

void TMainForm::BackBtnClick() { ScrollBar1->setValue(ScrolledBack(ScrollBar1->value())); }

int32_t TMainForm::SamplePositionAt(int x) const {
    return sonvira::SamplePositionAt(x, CurrentView(), Doc.SampleCount());
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
    SetPlayPosition(Doc.FrameOfSamplePosition(Doc.SelEnd));
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
