#include "WaveformDrawing.h"

#include <QPainter>
#include <QPolygon>
#include <cstdlib>
#include <cstring>

namespace sonvira {
namespace {

const QColor kBackground(96, 0, 0);
const QColor kBand(128, 128, 255);
const QColor kLine(0, 255, 0);
const QColor kAnchor(0, 255, 255);

// A one-pixel line straight into the bitmap (Bresenham), clipped to it. Much cheaper
// than a painter's stroke for a thousand short, steep segments per paint.
void PlotLine(QImage& bitmap, QPoint from, QPoint to, QRgb colour) {
    const int w = bitmap.width(), h = bitmap.height();
    uchar* const bits = bitmap.bits();
    const qsizetype stride = bitmap.bytesPerLine();
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x >= 0 && x < w && y >= 0 && y < h) reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour;
        if (x == to.x() && y == to.y()) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void DrawPolyline(QImage& bitmap, const QPolygon& points, QRgb colour) {
    for (qsizetype i = 1; i < points.size(); ++i) PlotLine(bitmap, points[i - 1], points[i], colour);
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
    painter.end();
    if (doc.SampleData) DrawPolyline(bitmap, WaveformPoints(doc, view, w, h), kLine.rgb());
    PlotLine(bitmap, {xa, 0}, {xa, h - 1}, kAnchor.rgb());
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
