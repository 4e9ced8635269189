#pragma once
// Lets the event loop run until a condition holds or the time limit passes.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace sonvira::test {

inline bool WaitUntil(const std::function<bool()>& done, int limitMs = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

}  // namespace sonvira::test
