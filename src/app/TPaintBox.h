#pragma once
// The waveform view's surface. The main window draws into its off-screen bitmap; this
// widget only asks for a fresh drawing when the toolkit needs one, copies the bitmap to
// the screen and passes mouse events on.

#include <QImage>
#include <QWidget>
#include <functional>

namespace sonvira {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent);

    std::function<void()> OnRender;  // draws the bitmap for the current size
    std::function<void(QMouseEvent*)> OnMouseDown, OnMouseMove, OnMouseUp;
    const QImage* Bitmap = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace sonvira
