#include "trace/trace_run.h"

#include <algorithm>
#include <exception>

#include "common/text_file.h"
#include "trace/trace_files.h"

namespace sondrel {

TraceRun::TraceRun(Services services, RunState& state, QString dataFolder, QString tracertProgram)
    : services_(services),
      state_(state),
      dataFolder_(std::move(dataFolder)),
      tracertProgram_(std::move(tracertProgram)),
      pollTimer_(services.clock.createTimer()),
      waitTimer_(services.clock.createTimer()) {
    pollTimer_->onTimeout = [this] { PollTraces(); };
    waitTimer_->onTimeout = [this] { finishStop(); };
}

TraceRun::~TraceRun() = default;

StartResult TraceRun::CommandTracert_Click(TargetRequest& request, const TraceOptionTexts& texts) {
    const std::optional<TraceOptions> options = BuildTraceOptions(texts, services_.prompts);
    if (!options)
        return StartResult::Refused;
    return StartTrace(request, *options);
}

StartResult TraceRun::StartTrace(TargetRequest& request, const TraceOptions& options) {
    if (state_.activityBusy() || active())
        return StartResult::Busy;
    state_.EnterBusyState();
    phase_ = Phase::LookingUp;
    options_ = options;
    Q_EMIT resultsReset();
    Q_EMIT jumpControlsShown(false);
    targets_.clear();
    records_.clear();
    processes_.clear();
    stopFlag_ = false;
    nextIndex_ = -1;
    first_ = {};
    rows_ = QStringList(TraceRowsShown, QString());
    resultsAvailable_ = false;
    setTitle(QStringLiteral("检查 IP 地址，请稍候..."));

    const TargetRequest taken = request;
    request.manualSingle.clear();
    request.manualGroup.clear();
    try {
        expansion_.start(services_.resolver, taken,
                         [this](ExpandedTargets& targets) { continueStart(targets); });
    } catch (const std::exception& e) {
        expansion_.cancel();
        startFailed(QString::fromLocal8Bit(e.what()));
    }
    return StartResult::Starting;
}

// Runs from the event loop once the names are known; a stop during the look-up cancelled it.
void TraceRun::continueStart(ExpandedTargets& targets) {
    if (phase_ != Phase::LookingUp || !state_.activityBusy())
        return;
    try {
        if (!reportTargets(targets))
            return;
        state_.runningActivity = Activity::Trace;
        if (!prepareFiles())
            return;
        TraceRecord empty;
        empty.capacity = qint64(options_.maxHops) + TraceLinesBeyondHops;
        records_.assign(size_t(targets_.count()), empty);
        processes_.resize(size_t(targets_.count()));
        Q_EMIT defaultsSaveRequested();
        setTitle(QStringLiteral("跟踪路径到") + QString::number(targets_.count()) +
                 QStringLiteral(" 主机 ..."));
        phase_ = Phase::Tracing;
        launchFirst();
        if (targets_.count() > 1)
            Q_EMIT jumpControlsShown(true);
        pollTimer_->start(TracePollMs);
        Q_EMIT started();
    } catch (const std::exception& e) {
        startFailed(QString::fromLocal8Bit(e.what()));
    }
}

// Takes the expanded targets and reports the names that did not resolve. False when the
// start ended here.
bool TraceRun::reportTargets(ExpandedTargets& targets) {
    if (targets.tooMany) {
        services_.prompts.message(TooManyTargetsText() + QStringLiteral("   CommandStart_Click"),
                                  MessageIcon::Exclamation);
        abandonStart();
        return false;
    }
    targets_ = std::move(targets);
    if (const QString unresolved = UnresolvedNamesText(targets_); !unresolved.isEmpty())
        services_.prompts.message(unresolved, MessageIcon::Information);
    if (targets_.count() == 0) {
        abandonStart();
        return false;
    }
    return true;
}

// Empties the output folder and names this run's files. False when the start ended here.
bool TraceRun::prepareFiles() {
    QString error = QStringLiteral("路径/文件访问错误");
    if (dataFolder_.isEmpty() || !RecreateTraceFolder(TraceTempFolder(dataFolder_), &error)) {
        startFailed(error);
        return false;
    }
    fileBase_ = TraceFileBase(TraceTempFolder(dataFolder_), services_.clock.now());
    return true;
}

void TraceRun::launchFirst() {
    const qint32 first = std::min(targets_.count(), TraceRunLimit);
    for (qint32 j = 0; j < first && !stopFlag_; ++j) {
        nextIndex_ = j;
        StartOneTrace(j);
    }
    showRows();
}

void TraceRun::StartOneTrace(qint32 index) {
    const QString target = TrimSpaces(targets_.targetIP.value(index));
    ProcessOptions how;
    how.output = ProcessOptions::Output::AppendToFile;
    how.outputFile = TraceOutputFile(fileBase_, index);
    processes_[size_t(index)] =
        services_.processes.start(tracertProgram_, TraceArguments(options_, target), how);
    records_[size_t(index)].begin(index, target, options_.maxHops,
                                  targets_.targetTitle.value(index), now());
}

void TraceRun::abandonStart() {
    phase_ = Phase::Idle;
    if (state_.activityBusy())
        state_.LeaveBusyState();
    setTitle(QString());
    Q_EMIT startAbandoned();
}

void TraceRun::startFailed(const QString& error) {
    pollTimer_->stop();
    for (const std::unique_ptr<ChildProcess>& process : processes_) {
        if (process)
            process->kill();
    }
    phase_ = Phase::Idle;
    if (state_.activityBusy())
        state_.LeaveBusyState();
    services_.prompts.message(error + QStringLiteral("   CommandStart_Click"),
                              MessageIcon::Exclamation);
    Q_EMIT startAbandoned();
}

void TraceRun::setTitle(const QString& text) {
    titleLine_ = text;
    Q_EMIT titleLineChanged(text);
}

void TraceRun::showRows() {
    rows_ = ShowTraceRows(records_, first_).rows;
    Q_EMIT rowsChanged(rows_, firstShownRow(), totalRows());
}

QString TraceRun::now() const {
    return SystemDateTimeText(services_.clock.now());
}

}  // namespace sondrel
