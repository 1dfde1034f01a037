#pragma once

#include <QDateTime>
#include <functional>
#include <memory>

namespace sondrel {

// A one-shot timer. start() re-arms it; the callback runs from the event loop.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    std::function<void()> onTimeout;
};

// Wall clock, monotonic time and timers: real ones in the programs, a virtual one in tests.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;  // local time; whole seconds are enough
    virtual qint64 monotonicMs() const = 0;
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

class SystemClock final : public Clock {
  public:
    QDateTime now() const override;  // local time, to the second
    qint64 monotonicMs() const override;
    std::unique_ptr<Timer> createTimer() override;

  private:
    mutable qint64 cachedSecond_ = -1;
    mutable QDateTime cachedNow_;
};

}  // namespace sondrel
