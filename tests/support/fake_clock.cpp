#include "support/fake_clock.h"

#include <algorithm>

namespace sondrel::testing {

class FakeClock::FakeTimer final : public Timer {
  public:
    explicit FakeTimer(FakeClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }
    ~FakeTimer() override {
        stop();
        std::erase(clock_.timers_, this);
    }
    void start(int ms) override {
        stop();
        key_ = {clock_.elapsed_ + std::max(0, ms), clock_.nextOrder_++};
        clock_.queue_[*key_] = [this] {
            key_.reset();
            if (onTimeout)
                onTimeout();
        };
    }
    void stop() override {
        if (key_)
            clock_.queue_.erase(*key_);
        key_.reset();
    }
    bool isActive() const override { return key_.has_value(); }

  private:
    FakeClock& clock_;
    std::optional<std::pair<qint64, quint64>> key_;
};

FakeClock::FakeClock(QDateTime start) : start_(std::move(start)) {}
FakeClock::~FakeClock() = default;

std::unique_ptr<Timer> FakeClock::createTimer() {
    return std::make_unique<FakeTimer>(*this);
}

void FakeClock::schedule(qint64 ms, std::function<void()> callback) {
    queue_[{elapsed_ + std::max<qint64>(0, ms), nextOrder_++}] = std::move(callback);
}

bool FakeClock::runNext(qint64 until) {
    if (queue_.empty() || queue_.begin()->first.first > until)
        return false;
    auto it = queue_.begin();
    elapsed_ = std::max(elapsed_, it->first.first);
    auto callback = std::move(it->second);
    queue_.erase(it);
    callback();
    return true;
}

void FakeClock::advance(qint64 ms) {
    const qint64 until = elapsed_ + ms;
    while (runNext(until)) {
    }
    elapsed_ = until;
}

void FakeClock::runUntilIdle(qint64 limitMs) {
    const qint64 until = elapsed_ + limitMs;
    while (runNext(until)) {
    }
}

}  // namespace sondrel::testing
