#pragma once
// The status bar's progress panel. It keeps its own canvas so that a long command can
// grow the bar from inside its loop: growing paints only the added part onto the canvas
// and shows it at once, without the event loop running.

#include <QImage>
#include <QRect>
#include <QWidget>

namespace sonvira {

class TProgressPanel : public QWidget {
    Q_OBJECT
public:
    explicit TProgressPanel(QWidget* parent);

    // 0 … 100; mirrors the main window's ProgressPercent.
    int32_t ProgressPercent = 0;
    // Where the panel was last drawn whole; empty until then.
    QRect ProgressRect;

    // Sets the progress: below the current value repaints the whole panel, otherwise
    // adds the bar's new part. Values outside 0 … 100 are ignored.
    void SetProStatus(int32_t percent);
    // Draws the whole panel into rectangle r: the bar, then the button face.
    void StatusBar1DrawPanel(const QRect& r);
    // Paints the bar for the current value into ProgressRect without erasing anything.
    void SBarPaintMore();

    const QImage& Canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage canvas_;
};

}  // namespace sonvira
