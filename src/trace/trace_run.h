#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "common/clock.h"
#include "common/process_runner.h"
#include "common/resolver.h"
#include "common/run_services.h"
#include "common/run_state.h"
#include "common/user_prompts.h"
#include "targets/target_request.h"
#include "trace/trace_lines.h"
#include "trace/trace_options.h"

namespace sondrel {

// The most trace processes that run at once.
inline constexpr int TraceRunLimit = 64;
// The poll of the running traces.
inline constexpr int TracePollMs = 1000;
// How long a stop waits after the kills before the run ends.
inline constexpr int TraceStopWaitMs = 2000;

// The route trace: one tracert process per target, at most TraceRunLimit at once, each
// appending its output to a file of its own that a one-second poll reads into the target's
// record. Nothing here waits: the poll and the stop's wait are timers of the clock.
class TraceRun : public QObject {
    Q_OBJECT
  public:
    using Services = RunServices;
    TraceRun(Services services, RunState& state, QString dataFolder, QString tracertProgram);
    ~TraceRun() override;

    // CommandTracert: the option checks, then the start. Refused when a check failed.
    StartResult CommandTracert_Click(TargetRequest& request, const TraceOptionTexts& texts);
    // Starts a trace of the request's targets with checked options; Busy while anything runs.
    StartResult StartTrace(TargetRequest& request, const TraceOptions& options);
    // The trace branch of the stop command: kills what still runs, waits, ends the run.
    void StopTrace();
    // Shows the traces of the last run again from their output files (at program start).
    // Returns whether there was a previous trace to show.
    bool ReloadPreviousTrace(const QString& fileBase, qint64 count, qint32 maxHops);

    // The results view: the rows from a first row counted over all targets (the scroll bar's
    // position), and the jump list with its click.
    void showFromRow(qint64 row);
    QStringList jumpItems(int button) const;  // 0: not finished, 1: finished
    void jumpItemClicked(const QString& item);

    // A trace is being started (names looked up) or runs, up to the end of its stop.
    bool active() const { return phase_ != Phase::Idle; }
    bool tracing() const { return phase_ == Phase::Tracing; }
    // Trace results can be exported: from the end of a run until the next start.
    bool resultsAvailable() const { return resultsAvailable_; }
    const std::vector<TraceRecord>& records() const { return records_; }
    const ExpandedTargets& targets() const { return targets_; }
    const TraceOptions& options() const { return options_; }
    // TraceFileBase of the last start (saved as Default_TraceFileName).
    QString fileBase() const { return fileBase_; }
    qint32 targetCount() const { return qint32(records_.size()); }
    QString titleLine() const { return titleLine_; }
    QStringList rows() const { return rows_; }
    qint64 firstShownRow() const { return TraceRowOf(records_, first_); }
    qint64 totalRows() const { return TraceRowCount(records_); }

  Q_SIGNALS:
    // The start switched to the results pane: popups and other pages hidden, the black trace
    // rows cleared, the jump list, its buttons and caption hidden.
    void resultsReset();
    // Item 0 of the title labels.
    void titleLineChanged(const QString& text);
    // The 20 rows, the first one's row counted over all targets, and all rows (scroll range).
    void rowsChanged(const QStringList& rows, qint64 firstRow, qint64 totalRows);
    // The jump caption and both jump buttons (only a run of more than one target has them).
    void jumpControlsShown(bool shown);
    // The defaults are to be saved now (the trace options, file base and target count).
    void defaultsSaveRequested();
    void started();
    void startAbandoned();
    void stopButtonEnabled(bool enabled);
    void stopCompleted();

  private:
    enum class Phase { Idle, LookingUp, Tracing, Stopping };

    // Start.
    void continueStart(ExpandedTargets& targets);
    bool reportTargets(ExpandedTargets& targets);
    bool prepareFiles();
    void launchFirst();
    void StartOneTrace(qint32 index);
    void abandonStart();
    void startFailed(const QString& error);
    // Poll, stop and the common end.
    void PollTraces();
    void pollOne(qint32 index, const TraceRows& shown, qint32* completed);
    void finishStop();
    void endRun();
    // Results view.
    void setTitle(const QString& text);
    void showRows();
    QString now() const;

    Services services_;
    RunState& state_;
    QString dataFolder_;
    QString tracertProgram_;
    std::unique_ptr<Timer> pollTimer_;
    std::unique_ptr<Timer> waitTimer_;

    Phase phase_ = Phase::Idle;
    TargetExpansion expansion_;
    ExpandedTargets targets_;
    TraceOptions options_;
    QString fileBase_;
    std::vector<TraceRecord> records_;
    std::vector<std::unique_ptr<ChildProcess>> processes_;
    qint32 nextIndex_ = -1;  // TraceNextIndex: the last target whose process was started
    bool stopFlag_ = false;
    bool resultsAvailable_ = false;
    QString titleLine_;
    TraceRowPosition first_;
    QStringList rows_;
};

}  // namespace sondrel
