#include "WaveformDrawing.h"

#include <QPainter>
#include <QPolygon>
#include <cstring>

namespace sonvira {
namespace {

const QColor kBackground(96, 0, 0);
const QColor kBand(128, 128, 255);
const QColor kLine(0, 255, 0);
const QColor kAnchor(0, 255, 255);

// Column of a sample position: (v − P × Z) ÷ Z in 32-bit arithmetic (wrapping as the
// program always did), truncated toward zero.
int32_t ColumnOf(int32_t v, ViewGeometry view) {
    const auto offset = static_cast<int32_t>(static_cast<uint32_t>(view.scroll) *
                                             static_cast<uint32_t>(view.zoom));
    return static_cast<int32_t>(static_cast<uint32_t>(v) - static_cast<uint32_t>(offset)) /
           view.zoom;
}

QPolygon WaveformPoints(const AudioDocument& doc, ViewGeometry view, int w, int h) {
    QPolygon points;
    points.reserve(w + 1);
    points << QPoint(0, 128);
    for (int x = 0; x < w; ++x) {
        const int64_t v = (int64_t(x) + view.scroll) * view.zoom;
        if (doc.Is16Bit) {
            if (2 * v >= doc.DataSize) continue;
            int16_t s;
            std::memcpy(&s, doc.SampleData + 2 * v, 2);
            points << QPoint(x, static_cast<int>(int64_t(s) * (h - 1) / 65536 + h / 2));
        } else {
            if (v >= doc.DataSize) continue;
            points << QPoint(x, doc.SampleData[v] * (h - 1) / 255);
        }
    }
    return points;
}

}  // namespace

void DrawWaveform(QImage& bitmap, const AudioDocument& doc, ViewGeometry view,
                  int32_t playMarkerX) {
    const int w = bitmap.width(), h = bitmap.height();
    bitmap.fill(kBackground);
    if (w == 0 || h == 0 || view.zoom <= 0) return;
    QPainter painter(&bitmap);
    const int32_t xa = ColumnOf(doc.SelAnchor, view);
    const int32_t xe = ColumnOf(doc.SelEnd, view);
    if (xa != xe) {
        painter.setPen(kBand);
        painter.setBrush(kBand);
        painter.drawRect(QRect(QPoint(std::min(xa, xe), 0), QPoint(std::max(xa, xe), h - 1)));
    }
    if (doc.SampleData) {
        painter.setPen(kLine);
        painter.drawPolyline(WaveformPoints(doc, view, w, h));
    }
    painter.setPen(kAnchor);
    painter.drawLine(xa, 0, xa, h - 1);
    painter.end();
    InvertColumn(bitmap, playMarkerX);
}

void InvertColumn(QImage& bitmap, int32_t x) {
    if (x < 0 || x >= bitmap.width()) return;
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        row[x] ^= 0x00FFFFFF;  // white drawn by exclusive-or
    }
}

}  // namespace sonvira
