// The running trace: the poll, the stop, the results view and the reload of the last run.
#include <algorithm>
#include <exception>

#include "targets/target_expansion.h"
#include "trace/trace_files.h"
#include "trace/trace_run.h"

namespace sondrel {

namespace {
QString RouteTo(qint64 count) {
    return QStringLiteral("跟踪路径到") + QString::number(count);
}

}  // namespace

// One tick: the timer is re-armed only at the end, so ticks never overlap.
void TraceRun::PollTraces() {
    if (stopFlag_ || phase_ != Phase::Tracing)
        return;
    const TraceRows shown = ShowTraceRows(records_, first_);
    const auto count = qint32(records_.size());
    qint32 completed = 0;
    for (qint32 i = 0; i < count; ++i) {
        try {
            pollOne(i, shown, &completed);
        } catch (const std::exception&) {
            // One unreadable file or a full store does not stop the run.
        }
    }
    showRows();
    if (completed > 0)
        setTitle(RouteTo(count) + QStringLiteral(" 主机 ...       ") + QString::number(completed) +
                 QStringLiteral(" completed."));
    if (completed == count) {
        setTitle(RouteTo(count) + QStringLiteral(" 主机.       全部完成."));
        StopTrace();  // finds nothing to kill
        return;
    }
    pollTimer_->start(TracePollMs);
}

void TraceRun::pollOne(qint32 index, const TraceRows& shown, qint32* completed) {
    TraceRecord& record = records_[size_t(index)];
    if (record.done) {
        ++*completed;
        return;
    }
    if (index > nextIndex_)
        return;  // not started yet
    std::unique_ptr<ChildProcess>& process = processes_[size_t(index)];
    const bool ended = !process || process->hasEnded();
    record.checkTime = now();
    const QString file = TraceOutputFile(fileBase_, index);
    if (!ended) {
        // Traces out of view are read once they end.
        if (index >= first_.target && index <= shown.lastTarget)
            ReadTraceOutput(record, index, file, false);
        return;
    }
    record.done = true;
    ++*completed;
    process.reset();
    ReadTraceOutput(record, index, file, true);
    if (nextIndex_ < qint32(records_.size()) - 1 && !stopFlag_) {
        ++nextIndex_;
        StartOneTrace(nextIndex_);
    }
}

void TraceRun::StopTrace() {
    if (phase_ == Phase::LookingUp) {
        // Nothing was started yet: the answers of the look-up are dropped whenever they come.
        expansion_.cancel();
        setTitle(QString());
        endRun();
        return;
    }
    if (phase_ != Phase::Tracing)
        return;
    phase_ = Phase::Stopping;
    stopFlag_ = true;
    pollTimer_->stop();
    Q_EMIT stopButtonEnabled(false);
    for (qint32 i = 0; i <= nextIndex_ && i < qint32(records_.size()); ++i) {
        const std::unique_ptr<ChildProcess>& process = processes_[size_t(i)];
        if (!records_[size_t(i)].done && process)
            process->kill();  // with everything it started
    }
    waitTimer_->start(TraceStopWaitMs);
}

void TraceRun::finishStop() {
    if (!titleLine_.contains(QStringLiteral("全部完成")))
        setTitle(RouteTo(qint64(records_.size())) + QStringLiteral(" 主机.       停止."));
    resultsAvailable_ = true;
    endRun();
}

// The common end of a run.
void TraceRun::endRun() {
    phase_ = Phase::Idle;
    Q_EMIT stopButtonEnabled(true);
    if (state_.activityBusy())
        state_.LeaveBusyState();
    Q_EMIT stopCompleted();
}

bool TraceRun::ReloadPreviousTrace(const QString& fileBase, qint64 count, qint32 maxHops) {
    if (count <= 0 || fileBase.isEmpty() || active() || state_.activityBusy())
        return false;
    count = std::min<qint64>(count, MaxExpandedTargets);
    Q_EMIT resultsReset();
    Q_EMIT jumpControlsShown(false);
    state_.runningActivity = Activity::Trace;
    setTitle(QStringLiteral("加载之前测试结果，请稍候 … …"));
    try {
        TraceRecord finished;
        finished.capacity =
            qint64(maxHops >= 1 ? maxHops : DefaultTraceMaxHops) + TraceLinesBeyondHops;
        finished.done = true;
        records_.assign(size_t(count), finished);
        processes_.clear();
        targets_.clear();
        fileBase_ = fileBase;
        first_ = {};
        for (qint32 i = 0; i < qint32(count); ++i)
            ReadTraceOutput(records_[size_t(i)], i, TraceOutputFile(fileBase, i), true);
    } catch (const std::exception&) {
        return false;  // what was read stays, without a message
    }
    setTitle(RouteTo(count) + QStringLiteral(" hosts."));
    showRows();
    resultsAvailable_ = true;
    return true;
}

void TraceRun::showFromRow(qint64 row) {
    first_ = TraceRowAt(records_, row);
    showRows();
}

QStringList TraceRun::jumpItems(int button) const {
    return TraceJumpItems(records_, button == 1);
}

void TraceRun::jumpItemClicked(const QString& item) {
    const qint32 target = TraceJumpTarget(item);
    if (target < 0 || target >= qint32(records_.size()))
        return;
    first_ = {target, 0};
    showRows();
}

}  // namespace sondrel
