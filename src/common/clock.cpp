#include "common/clock.h"

#include <QElapsedTimer>
#include <QTimer>

namespace sondrel {

namespace {

class QtTimer final : public Timer {
  public:
    QtTimer() {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTimeout)
                onTimeout();
        });
    }
    void start(int ms) override { timer_.start(std::max(0, ms)); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
};

}  // namespace

// The local time is converted once per second: probes stamp whole seconds, and a thousand
// conversions a second would cost more than the probes themselves.
QDateTime SystemClock::now() const {
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != cachedSecond_) {
        cachedSecond_ = second;
        cachedNow_ = QDateTime::fromSecsSinceEpoch(second);
    }
    return cachedNow_;
}

qint64 SystemClock::monotonicMs() const {
    static QElapsedTimer origin = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return origin.elapsed();
}

std::unique_ptr<Timer> SystemClock::createTimer() {
    return std::make_unique<QtTimer>();
}

}  // namespace sondrel
