#include "scan/scan_run.h"

#include <algorithm>

#include "scan/scan_report_socket.h"
#include "targets/target_expansion.h"

namespace sondrel {

namespace {

const QString Scanning = QStringLiteral("扫描...");
const QString AllOk = QStringLiteral("OK");

}  // namespace

ScanRun::ScanRun(Services services, RunState& state, QString workerProgram, QString endpoint,
                 QString reportDirectory)
    : services_(std::move(services)),
      state_(state),
      workerProgram_(std::move(workerProgram)),
      endpoint_(std::move(endpoint)),
      reportDirectory_(std::move(reportDirectory)),
      timerS1_(services_.clock.createTimer()),
      timerS3_(services_.clock.createTimer()),
      pause_(services_.clock.createTimer()) {
    timerS1_->onTimeout = [this] {
        TimerS1_Timer();
        if (phase_ == Phase::LookingUp || phase_ == Phase::Starting || phase_ == Phase::Collecting)
            timerS1_->start(ScanTickMs);
    };
    timerS3_->onTimeout = [this] {
        TimerS3_Timer();
        if (stopTicks_ <= 2)
            timerS3_->start(ScanStopTickMs);
    };
    pause_->onTimeout = [this] { afterPause(); };
    drawRows();
}

ScanRun::~ScanRun() = default;

int ScanRun::secondsOfDay() const {
    const QTime time = services_.clock.now().time();
    return time.hour() * 3600 + time.minute() * 60 + time.second();
}

QString ScanRun::completionText() const {
    return QStringLiteral("扫描完成：") + QString::number(secondsOfDay() - startSeconds_) +
           QStringLiteral("  第二次    ");
}

StartResult ScanRun::StartScan(const TargetRequest& request, const QString& manualRange) {
    // Another activity, or a scan still starting or collecting, would mix two runs' state.
    if (state_.activityBusy() || phase_ == Phase::LookingUp || phase_ == Phase::Starting ||
        phase_ == Phase::Collecting || phase_ == Phase::Finishing)
        return StartResult::Busy;
    Q_EMIT pageShown();
    labelTotal_.clear();
    labelActive_.clear();
    labelInactive_.clear();
    separator_.clear();
    startSeconds_ = secondsOfDay();
    state_.EnterBusyState();
    kept_.assign(1, ScanRecord{});
    state_.runningActivity = Activity::Scan;
    stopFlag_ = false;
    launched_ = received_ = okTicks_ = expected_ = active_ = inactive_ = 0;
    finished_ = false;
    drawRows();
    Q_EMIT viewButtonsShown(false);
    setScroll(0, 0, 0);
    stopTicks_ = 0;
    timerS3_->stop();
    userScrolled_ = false;
    timerS1_->start(ScanTickMs);
    results_.clear();
    workers_.clear();
    // The "OK" of the previous scan must not finish this one while its names are looked up.
    setText2(Scanning);

    TargetRequest taken = request;
    taken.manualSingle.clear();
    taken.manualGroup = manualRange;
    phase_ = Phase::LookingUp;
    expansion_.start(services_.resolver, taken,
                     [this](ExpandedTargets& targets) { continueStart(targets); });
    return StartResult::Starting;
}

bool ScanRun::reportUnresolved(ExpandedTargets& targets) {
    if (targets.tooMany) {
        services_.prompts.message(TooManyTargetsText(), MessageIcon::Exclamation);
        return false;
    }
    if (const QString unresolved = UnresolvedNamesText(targets); !unresolved.isEmpty())
        services_.prompts.message(unresolved, MessageIcon::Information);
    return targets.count() > 0;
}

void ScanRun::continueStart(ExpandedTargets& targets) {
    if (phase_ != Phase::LookingUp)
        return;
    if (!reportUnresolved(targets)) {
        phase_ = Phase::Idle;
        timerS1_->stop();
        state_.LeaveBusyState();
        Q_EMIT startAbandoned();
        return;
    }
    remaining_ = targets.count();
    results_.assign(size_t(targets.count()), ScanRecord{});
    titles_ = targets.targetTitle;
    for (int i = 0; i < targets.count(); ++i)
        results_[size_t(i)].Address = targets.targetIP[i];
    setText2(Scanning);
    labelTotal_ = QString::number(targets.count());
    Q_EMIT textsChanged();
    phase_ = Phase::Starting;
    Q_EMIT started();
    launchOne();
}

// Starts the worker of row ScanLaunched, runs the tick once and pauses 10 ms.
void ScanRun::launchOne() {
    const int row = launched_;
    ProcessOptions options;
    options.extraEnvironment.insert(ScanReportDirectoryVariable, reportDirectory_);
    const QString fields = endpoint_ + QLatin1Char(',') + results_[size_t(row)].Address +
                           QLatin1Char(',') + QString::number(row) + QStringLiteral(",,,,,350");
    auto worker = services_.processes.start(workerProgram_, {fields}, options);
    if (worker && worker->hasEnded() && worker->end().status == ProcessEnd::Status::FailedToStart)
        return startFailed(worker->end().error);
    workers_.push_back(std::move(worker));
    TimerS1_Timer();
    pause_->start(ScanLaunchPauseMs);
}

void ScanRun::afterPause() {
    if (phase_ != Phase::Starting)
        return;
    launched_ += 1;
    if (stopFlag_) {
        expected_ = remaining_ = launched_;
        labelTotal_ = QString::number(launched_);
        results_.resize(size_t(launched_));
        phase_ = Phase::Collecting;
        Q_EMIT textsChanged();
        return;
    }
    if (launched_ < int(results_.size()))
        return launchOne();
    expected_ = launched_;
    phase_ = Phase::Collecting;
}

void ScanRun::startFailed(const QString& error) {
    expected_ = 0;
    phase_ = Phase::Collecting;  // the workers already started still report; a stop ends it
    state_.LeaveBusyState();
    services_.prompts.message(error + QStringLiteral(" ()"), MessageIcon::Exclamation);
}

// Once a stop tick has left the busy state, another activity may have started: its busy state
// is not the scan's to leave.
void ScanRun::leaveBusyStateOfScan() {
    if (state_.runningActivity == Activity::Scan)
        state_.LeaveBusyState();
}

void ScanRun::StopScan() {
    stopFlag_ = true;
    timerS3_->start(ScanStopTickMs);
}

void ScanRun::ReceiveScanReport(const QString& text) {
    if (state_.runningActivity != Activity::Scan)
        return;
    received_ += 1;
    switch (ApplyScanReport(results_, text)) {
        case ReportEffect::Active:
            active_ += 1;
            break;
        case ReportEffect::Inactive:
            inactive_ += 1;
            break;
        case ReportEffect::Neither:
            break;
    }
    remaining_ -= 1;
    setText2(Scanning + QString::number(remaining_));
}

void ScanRun::TimerS1_Timer() {
    if (text2_ == AllOk)
        okTicks_ += 1;
    if (okTicks_ > 1 || stopTicks_ > 2)
        return finishScan();
    const int maximum = launched_ - 1;
    const bool scrolled = userScrolled_;
    setScroll(maximum < 21 ? maximum : 20, maximum, scrollValue_);
    userScrolled_ = scrolled;
    if (!userScrolled_) {
        setScroll(scrollMin_, scrollMax_, scrollMax_);
        userScrolled_ = false;
    }
    drawRows();
}

void ScanRun::TimerS3_Timer() {
    stopTicks_ += 1;
    if (stopTicks_ > 2)
        timerS3_->stop();
    leaveBusyStateOfScan();
}

void ScanRun::finishScan() {
    timerS1_->stop();
    // A stop tick after the finish would leave the busy state of whatever runs next.
    timerS3_->stop();
    pause_->stop();
    phase_ = Phase::Finishing;
    leaveBusyStateOfScan();
    Q_EMIT viewButtonsShown(true);
    finished_ = true;
    completeHardwareAddresses();
    kept_ = results_;
    phase_ = Phase::Finished;
    Q_EMIT scanFinished();
}

// The address-resolution table is read whole (every chunk), so that a full range keeps the
// hardware addresses of its last hosts too.
void ScanRun::completeHardwareAddresses() {
    QString output;
    if (services_.runCommand) {
        services_.runCommand(QStringLiteral("cat /proc/net/arp"),
                             [&output](const QString& chunk) { output += chunk; });
    }
    const QMap<QString, QString> table = ParseArpTable(output);
    for (ScanRecord& record : results_) {
        if (record.MacAddress.isEmpty() && record.Address.size() > 4)
            record.MacAddress = table.value(record.Address);
    }
    const bool ownDone = ownAddressStep();
    drawRows();
    if (ownDone)
        setText2(completionText());
}

bool ScanRun::ownAddressStep() {
    const QString own = services_.localAddress ? services_.localAddress() : QString();
    if (own.isEmpty() || !services_.runCommand)
        return false;
    auto row = std::find_if(results_.begin(), results_.end(), [&own](const ScanRecord& r) {
        return r.Address == own && r.MacAddress.isEmpty();
    });
    if (row == results_.end())
        return false;
    const qsizetype index = row - results_.begin();
    const QString iface =
        services_.interfaceOfAddress ? services_.interfaceOfAddress(own) : QString();
    if (iface.isEmpty() || iface.contains(QLatin1Char('/')))
        return false;
    QString output;
    services_.runCommand(QStringLiteral("cat /sys/class/net/") + iface + QStringLiteral("/address"),
                         [&output](const QString& chunk) { output += chunk; });
    if (output.trimmed().isEmpty())
        return false;
    results_[size_t(index)].MacAddress = ParseInterfaceAddress(output).value_or(QString());
    return true;
}

void ScanRun::VScroll2_Change(int value) {
    if (ownScroll_)
        return;
    scrollValue_ = std::clamp(value, scrollMin_, std::max(scrollMin_, scrollMax_));
    userScrolled_ = true;
    if (finished_)
        drawRows();
}

void ScanRun::ShowScanView(const QString& filter) {
    results_ = kept_;
    if (!results_.empty()) {
        finished_ = false;
        results_ = FilterScanTable(results_, filter);
    }
    launched_ = expected_ = int(results_.size());
    received_ = okTicks_ = 0;
    if (results_.empty()) {
        setScroll(0, 0, 0);
        drawRows();
        return;
    }
    const int maximum = launched_ - 1;
    setScroll(maximum < 21 ? maximum : 20, maximum, maximum);
    drawRows();
    finished_ = true;
}

void ScanRun::drawRows() {
    rows_.fill(ScanRowView{});
    if (launched_ >= 1) {
        const ScanWindow window = ChooseScanWindow(expected_, scrollValue_, scrollMax_);
        for (qsizetype v = window.top; v <= window.bottom; ++v) {
            if (v < 0 || v >= qsizetype(results_.size()) || v - window.top >= ScanRowCount)
                continue;
            rows_[size_t(v - window.top)] = ScanRowOf(results_[size_t(v)], v);
        }
        labelActive_ = QString::number(active_);
        labelInactive_ = QString::number(inactive_);
        separator_ = QStringLiteral("/");
        if (received_ >= expected_ && expected_ >= 1)
            text2_ = AllOk;
    }
    Q_EMIT rowsChanged();
    Q_EMIT textsChanged();
}

void ScanRun::setScroll(int minimum, int maximum, int value) {
    scrollMin_ = minimum;
    scrollMax_ = std::max(minimum, maximum);
    scrollValue_ = std::clamp(value, scrollMin_, scrollMax_);
    ownScroll_ = true;
    Q_EMIT scrollChanged(scrollMin_, scrollMax_, scrollValue_);
    ownScroll_ = false;
}

void ScanRun::setText2(const QString& text) {
    text2_ = text;
    Q_EMIT textsChanged();
}

}  // namespace sondrel
