#pragma once

#include <map>
#include <vector>

#include "common/clock.h"
#include "support/qt_printers.h"

namespace sondrel::testing {

// Virtual time: nothing happens until the test advances the clock; timers then fire in
// time order, each at its own moment.
class FakeClock final : public Clock {
  public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 5, 3), QTime(14, 22, 7)));
    ~FakeClock() override;

    QDateTime now() const override { return start_.addMSecs(elapsed_); }
    qint64 monotonicMs() const override { return elapsed_; }
    std::unique_ptr<Timer> createTimer() override;

    // Runs everything that is due up to now + ms, advancing time step by step.
    void advance(qint64 ms);
    // Runs timers until none is armed or `limitMs` of virtual time has passed.
    void runUntilIdle(qint64 limitMs = 3'600'000);
    // Runs a callback at now + ms (the fake echo uses this for replies).
    void schedule(qint64 ms, std::function<void()> callback);

  private:
    class FakeTimer;
    friend class FakeTimer;
    struct Due {
        qint64 at;
        quint64 order;
    };
    bool runNext(qint64 until);

    QDateTime start_;
    qint64 elapsed_ = 0;
    quint64 nextOrder_ = 0;
    // Pending events by (time, order): either a timer or a one-off callback.
    std::map<std::pair<qint64, quint64>, std::function<void()>> queue_;
    std::vector<FakeTimer*> timers_;
};

}  // namespace sondrel::testing
