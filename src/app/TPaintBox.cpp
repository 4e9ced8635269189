#include "TPaintBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace sonvira {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setObjectName("PaintBox1");
    setAccessibleName("Wellenform");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    if (OnRender && (!Bitmap || Bitmap->size() != size())) OnRender();
    if (!Bitmap) return;
    QPainter painter(this);
    painter.drawImage(0, 0, *Bitmap);
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) OnMouseDown(event);
}
void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) OnMouseMove(event);
}
void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) OnMouseUp(event);
}

}  // namespace sonvira
