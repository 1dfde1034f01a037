#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace sondrel::testing {

// Runs the event loop until `ready` holds or `ms` have passed; returns `ready()`.
inline bool spinUntil(const std::function<bool()>& ready, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return ready();
}

}  // namespace sondrel::testing
