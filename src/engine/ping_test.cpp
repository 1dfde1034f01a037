#include "engine/ping_test.h"

#include <algorithm>
#include <exception>

#include "engine/result_log.h"
#include "engine/test_parameters.h"

namespace sondrel {

namespace {

constexpr int StopCompletionMs = 500;

}  // namespace

PingTest::PingTest(Services services, RunState& state, TestParameters& params, QString dataFolder)
    : services_(services),
      state_(state),
      params_(params),
      dataFolder_(std::move(dataFolder)),
      timer1_(services.clock.createTimer()),
      timer2_(services.clock.createTimer()) {
    timer1_->onTimeout = [this] { onTick(); };
    timer2_->onTimeout = [this] { onStopTimer(); };
    records_.reset();
    stats_.reset();
}

PingTest::~PingTest() = default;

void PingTest::setStatus(int item, const QString& text) {
    if (item == 0)
        statusLine_ = text;
    Q_EMIT statusLineChanged(item, text);
}

QString PingTest::runHeading() const {
    return QStringLiteral("侦测测试") + QString::number(params_.run().probeSize) +
           QStringLiteral(" 字节数据:            ") + QString::number(targets_.count()) +
           QStringLiteral("  IP ");
}

StartResult PingTest::CommandStart_Click(TargetRequest& request) {
    if (!params_.RunStartChecks())
        return StartResult::Refused;
    if (state_.activityBusy())
        return StartResult::Busy;
    StartPingTest(request);
    return StartResult::Starting;
}

void PingTest::StartPingTest(TargetRequest& request) {
    if (state_.activityBusy())
        return;
    RunParameters& run = params_.run();
    targets_.clear();
    run.size.index = 0;
    run.size.visits = 0;
    state_.EnterBusyState();
    probeInProgress_ = false;
    stopRequested_ = false;
    records_.reset();
    scheduledRun_ = true;
    run.interval.round = 1;
    timer1_->stop();
    timer1Enabled_ = false;
    firstTargetAddress_.clear();
    Q_EMIT resultsReset();
    setStatus(0, QStringLiteral("检查 IP 地址，请稍候..."));
    stats_.reset();
    Q_EMIT reportLinkShown(false);

    TargetRequest taken = request;
    request.manualSingle.clear();
    request.manualGroup.clear();
    // Nothing may escape to the event loop: a failure of the expansion itself (memory)
    // becomes the start's message.
    try {
        expansion_.start(services_.resolver, taken,
                         [this](ExpandedTargets& targets) { continueStartGuarded(targets); });
    } catch (const std::exception& e) {
        expansion_.cancel();
        startFailed(QString::fromLocal8Bit(e.what()));
    }
}

// The start's continuation runs from the event loop once the names are known.
void PingTest::continueStartGuarded(ExpandedTargets& targets) {
    try {
        continueStart(targets);
    } catch (const std::exception& e) {
        timer1_->stop();
        timer1Enabled_ = false;
        targets_.clear();
        targetAddresses_.clear();
        startFailed(QString::fromLocal8Bit(e.what()));
    }
}

void PingTest::abandonStart() {
    state_.LeaveBusyState();
    setStatus(0, QString());
    Q_EMIT startAbandoned();
}

void PingTest::continueStart(ExpandedTargets& targets) {
    // A stop during the look-up cancels the expansion, so this runs only for a live start;
    // it never runs outside the busy state the start entered.
    if (stopRequested_ || !state_.activityBusy())
        return;
    if (targets.tooMany) {
        services_.prompts.message(TooManyTargetsText() + QStringLiteral("   CommandStart_Click"),
                                  MessageIcon::Exclamation);
        abandonStart();
        return;
    }
    targets_ = std::move(targets);
    if (const QString unresolved = UnresolvedNamesText(targets_); !unresolved.isEmpty())
        services_.prompts.message(unresolved, MessageIcon::Information);
    if (targets_.count() == 0) {
        abandonStart();
        return;
    }
    if (!openRun())
        return;
    targetAddresses_.clear();
    for (const QString& address : std::as_const(targets_.targetIP))
        targetAddresses_.push_back(InetAddr(address.trimmed()));
    RunParameters& run = params_.run();
    firstTargetAddress_ = targets_.targetIP.constFirst();
    stats_.firstAddress = firstTargetAddress_.leftJustified(15, QLatin1Char(' '), true);
    savedInterval_ = run.timerInterval;
    run.timerInterval = FirstTickMs;
    stats_.minRtt = RunStatistics::NoMinimum;
    timer1Enabled_ = true;
    armTick(FirstTickMs);
    Q_EMIT summaryLabelsShown();
    Q_EMIT started();
}

// Start steps from the run heading to the result logs. False when the start ended.
bool PingTest::openRun() {
    RunParameters& run = params_.run();
    state_.runningActivity = Activity::Ping;
    if (!run.size.mode.isEmpty())
        run.size.stepLength = run.size.repeat * targets_.count();
    Q_EMIT detailColumnPlaced(targets_.longAddressFlag);
    const QString refused = services_.echo.open();
    if (!refused.isEmpty()) {
        services_.prompts.message(refused, MessageIcon::Critical);
        abandonStart();
        return false;
    }
    transportOpen_ = true;
    setStatus(0, runHeading());
    setStatus(1, QStringLiteral("否."));
    const RunLogHeader header{targets_.count(), run.size.stepLength, run.repeatPerIP};
    resultsRepeat_ = std::max(run.repeatPerIP, 1);
    sink_ = sinkFactory_ ? sinkFactory_() : std::make_unique<ResultLog>(dataFolder_);
    const QString error = sink_->create(header, targets_);
    if (!error.isEmpty()) {
        startFailed(error);
        return false;
    }
    return true;
}

void PingTest::startFailed(const QString& error) {
    if (sink_)
        sink_->close();
    if (transportOpen_)
        services_.echo.close();
    transportOpen_ = false;
    if (state_.activityBusy())
        state_.LeaveBusyState();
    services_.prompts.message(error + QStringLiteral("   CommandStart_Click"),
                              MessageIcon::Exclamation);
    Q_EMIT startAbandoned();
}

void PingTest::CommandStop_Click() {
    if (expansion_.pending()) {
        stopDuringLookUp();
        return;
    }
    stopRequested_ = true;
    scheduleEndCheck_ = false;
    Q_EMIT stopButtonEnabled(false);
    timer1_->stop();
    timer1Enabled_ = false;
    RunParameters& run = params_.run();
    if (run.timerInterval == FirstTickMs && savedInterval_ > 0)
        run.timerInterval = savedInterval_;  // stopped before the first round
    if (run.interval.mode == SteppedMode) {
        run.interval.current = qint32(run.interval.from);
        run.timerInterval = run.interval.current;
    }
    scheduledRun_ = false;
    firstTargetAddress_.clear();
    timer2_->start(StopCompletionMs);
}

// The stop completes once the probe in progress has been processed and logged; until then
// the run stays busy, so a new start can never overlap the last probe.
void PingTest::onStopTimer() {
    if (probeInProgress_) {
        timer2_->start(StopCompletionMs);
        return;
    }
    // Closing waits for whatever the sink still holds, so the failed count is final after it.
    const QString error = sink_ ? sink_->close() : QString();
    Q_EMIT stopButtonEnabled(true);
    stopRequested_ = false;
    if (state_.activityBusy())
        state_.LeaveBusyState();
    if (transportOpen_)
        services_.echo.close();
    transportOpen_ = false;
    if (!error.isEmpty())
        services_.prompts.message(error + QStringLiteral("    侦测_IP"), MessageIcon::Exclamation);
    if (const qint32 failed = failedInsertCount(); failed > 0)
        services_.prompts.message(QStringLiteral("输入") + QString::number(failed) +
                                      QStringLiteral("侦测测试 rescords 失败。"),
                                  MessageIcon::Exclamation);
    if (state_.runningActivity != Activity::Trace)
        Q_EMIT reportLinkShown(true);
    Q_EMIT stopCompleted();
}

// A stop while the names of a start are looked up ends that start for good: its answers are
// dropped whenever they come. Nothing was opened yet, so the stop completes at once.
void PingTest::stopDuringLookUp() {
    expansion_.cancel();
    scheduleEndCheck_ = false;
    scheduledRun_ = false;
    stopRequested_ = false;
    timer1_->stop();
    timer1Enabled_ = false;
    firstTargetAddress_.clear();
    if (state_.activityBusy())
        state_.LeaveBusyState();
    setStatus(0, QString());
    Q_EMIT stopButtonEnabled(true);
    Q_EMIT stopCompleted();
}

void PingTest::setScheduledEnd(const QDateTime& end) {
    scheduledEnd_ = end;
    scheduleEndCheck_ = end.isValid();
}

}  // namespace sondrel
