#include "TProgressPanel.h"

#include <QPainter>

namespace sonvira {
namespace {

const QColor kNavy(0, 0, 128);

void FillOutlined(QImage& canvas, const QRect& r, const QColor& colour) {
    if (r.width() <= 0 || r.height() <= 0) return;
    QPainter painter(&canvas);
    painter.fillRect(r, colour);
}

}  // namespace

TProgressPanel::TProgressPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("ProgressPanel");
    setAccessibleName("Fortschritt");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TProgressPanel::SetProStatus(int32_t percent) {
    if (percent < 0 || percent > 100) return;
    if (percent < ProgressPercent) {
        ProgressPercent = percent;
        StatusBar1DrawPanel(rect());
    } else {
        ProgressPercent = percent;
        SBarPaintMore();
    }
    repaint();
}

void TProgressPanel::StatusBar1DrawPanel(const QRect& r) {
    if (canvas_.size() != size()) canvas_ = QImage(size(), QImage::Format_RGB32);
    const int b = r.left() + (r.width() * ProgressPercent) / 100;
    FillOutlined(canvas_, QRect(QPoint(r.left(), r.top()), QPoint(b - 1, r.bottom())), kNavy);
    FillOutlined(canvas_, QRect(QPoint(b, r.top()), r.bottomRight()), palette().button().color());
    ProgressRect = r;
}

void TProgressPanel::SBarPaintMore() {
    if (canvas_.isNull() || ProgressRect.isEmpty()) return;
    const QRect& r = ProgressRect;
    const int b = r.left() + (r.width() * ProgressPercent) / 100;
    FillOutlined(canvas_, QRect(QPoint(r.left(), r.top()), QPoint(b - 1, r.bottom())), kNavy);
}

void TProgressPanel::paintEvent(QPaintEvent*) {
    // The first paint, and any paint after a resize, draws the panel whole.
    if (canvas_.size() != size() || ProgressRect != rect()) StatusBar1DrawPanel(rect());
    QPainter(this).drawImage(0, 0, canvas_);
}

}  // namespace sonvira
