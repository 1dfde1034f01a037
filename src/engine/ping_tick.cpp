#include <algorithm>
#include <cmath>

#include "engine/ping_test.h"
#include "engine/reply_processing.h"
#include "engine/test_parameters.h"

namespace sondrel {

void PingTest::armTick(int delayMs) {
    timer1_->start(std::max(0, delayMs));
}

// One tick is one round: every target in list order, `repeatPerIP` probes each.
void PingTest::onTick() {
    if (!timer1Enabled_ || inRound_)
        return;
    RunParameters& run = params_.run();
    if (run.timerInterval == FirstTickMs)
        run.timerInterval = savedInterval_;
    tickStartMs_ = services_.clock.monotonicMs();
    inRound_ = true;
    visitTarget_ = -1;
    visitProbe_ = 0;
    runProbes();
}

// Sends the round's probes one after another. A reply arrives later from the event loop and
// calls back in here; probes that finish at once (refused addresses, a stop) are looped over.
void PingTest::runProbes() {
    if (loopActive_)
        return;
    loopActive_ = true;
    while (inRound_ && !awaitingReply_) {
        if (!nextVisit()) {
            loopActive_ = false;
            endRound();
            return;
        }
        PingIP(visitTarget_);
    }
    loopActive_ = false;
}

// Moves to the next probe of the round; false when the round is done.
bool PingTest::nextVisit() {
    const RunParameters& run = params_.run();
    if (visitTarget_ >= 0 && ++visitProbe_ < run.repeatPerIP)
        return true;
    if (++visitTarget_ >= targets_.count())
        return false;
    visitProbe_ = 0;
    advanceSizeSequence();
    return run.repeatPerIP > 0;
}

// Before every target visit the size sequence moves on.
void PingTest::advanceSizeSequence() {
    RunParameters& run = params_.run();
    if (const std::optional<qint32> size = run.size.nextVisit())
        run.probeSize = *size;
}

void PingTest::PingIP(qint32 target) {
    if (stopRequested_)
        return;
    probeInProgress_ = true;
    const std::optional<quint32> address = targetAddresses_[size_t(target)];
    if (!address) {
        finishProbe(target, EchoReply{0, EchoStatus::InvalidAddress, 0, 0, 0});
        return;
    }
    awaitingReply_ = true;
    const RunParameters& run = params_.run();
    std::weak_ptr<int> alive = alive_;
    services_.echo.send({*address, run.probeSize, run.probeTimeout, 0},
                        [this, alive, target](const EchoReply& reply) {
                            if (!alive.expired())
                                onEchoReply(target, reply);
                        });
}

void PingTest::onEchoReply(qint32 target, const EchoReply& reply) {
    awaitingReply_ = false;
    finishProbe(target, reply);
    runProbes();
}

void PingTest::finishProbe(qint32 target, const EchoReply& reply) {
    const ProbeResult result = RecordProbe(records_, stats_, targets_.targetIP[target],
                                           params_.run().probeSize, reply, services_.clock.now());
    Q_EMIT replyShown(result.index, result.line.prefix, result.line.detail);
    Q_EMIT statisticsChanged();
    const QString error = sink_ ? sink_->append(records_.at(result.index), target) : QString();
    Q_EMIT scrollSetup(result.index, result.index);
    records_.endProbe();
    probeInProgress_ = false;
    Q_EMIT probeFinished();
    if (!error.isEmpty())
        probeFailed(error);
}

// A probe that could not be logged ends the probing of the run; the operator stops the test.
void PingTest::probeFailed(const QString& error) {
    stopRequested_ = true;
    services_.prompts.message(error + QStringLiteral("    侦测_IP"), MessageIcon::Exclamation);
    Q_EMIT probingFailed();
}

void PingTest::endRound() {
    inRound_ = false;
    if (const QString error = sink_ ? sink_->flush() : QString();
        !error.isEmpty() && !stopRequested_)
        probeFailed(error);
    RunParameters& run = params_.run();
    if (const std::optional<qint32> interval = run.interval.endRound())
        run.timerInterval = *interval;
    if (!timer1Enabled_)
        return;  // stopped during the round
    const double perRound = double(run.repeatPerIP) * targets_.count();
    if (run.testTimes > 0 && perRound > 0 &&
        std::floor(std::nearbyint(stats_.sentCount) / perRound) >= run.testTimes) {
        CommandStop_Click();
        return;
    }
    if (scheduleEndCheck_ && scheduledEndPassed())
        scheduledRun_ = false;
    if (scheduleEndCheck_ && !scheduledRun_) {
        CommandStop_Click();
        return;
    }
    const qint64 due = tickStartMs_ + run.timerInterval;
    armTick(int(std::max<qint64>(0, due - services_.clock.monotonicMs())));
}

// The end has passed once the current minute is later than the scheduled one.
bool PingTest::scheduledEndPassed() const {
    const QDateTime now = services_.clock.now();
    const auto minuteOf = [](const QDateTime& t) {
        const QDate d = t.date();
        return std::make_tuple(d.year(), d.month(), d.day(), t.time().hour(), t.time().minute());
    };
    return minuteOf(now) > minuteOf(scheduledEnd_);
}

}  // namespace sondrel
