#include "RunWhenExposed.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace sonvira {
namespace {

// Watches the window's platform window for its first exposure; owned by the widget.
class ExposeWatcher : public QObject {
public:
    ExposeWatcher(QWidget* window, std::function<void()> action)
        : QObject(window), window_(window), action_(std::move(action)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && window_->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            RunLater();
        }
        return false;
    }

    // Queued, so that the exposure's own painting is done first.
    void RunLater() {
        QTimer::singleShot(0, window_, [action = std::move(action_)] { action(); });
        deleteLater();
    }

private:
    QWidget* window_;
    std::function<void()> action_;
};

}  // namespace

void RunWhenExposed(QWidget* window, std::function<void()> action) {
    if (!window->windowHandle()) window->winId();  // makes the platform window
    auto* watcher = new ExposeWatcher(window, std::move(action));
    if (window->windowHandle()->isExposed())
        watcher->RunLater();
    else
        window->windowHandle()->installEventFilter(watcher);
}

}  // namespace sonvira
