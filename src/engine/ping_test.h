#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/clock.h"
#include "common/resolver.h"
#include "common/run_state.h"
#include "common/user_prompts.h"
#include "engine/echo.h"
#include "engine/reply_record.h"
#include "engine/reply_sink.h"
#include "engine/run_results.h"
#include "engine/run_statistics.h"
#include "targets/target_request.h"

namespace sondrel {

class TestParameters;

// The first tick of a run comes this soon after the start; the interval follows from then on.
inline constexpr int FirstTickMs = 99;

// The ping test: start, one round per tick, stop and stop completion. Probes never block: each
// waits for its reply on the event loop, and the next round starts only after the last one.
class PingTest : public QObject {
    Q_OBJECT
  public:
    struct Services {
        EchoTransport& echo;
        Resolver& resolver;
        Clock& clock;
        UserPrompts& prompts;
    };
    PingTest(Services services, RunState& state, TestParameters& params, QString dataFolder);
    ~PingTest() override;

    // The five parameter checks, then the start. Refused when a check failed.
    StartResult CommandStart_Click(TargetRequest& request);
    void StartPingTest(TargetRequest& request);
    void CommandStop_Click();
    // Rebuilds the previous run from the result logs of the data folder.
    void ReloadPreviousPing();

    // A scheduled end: the test stops in the first round after that minute has passed.
    void setScheduledEnd(const QDateTime& end);

    bool running() const { return timer1Enabled_; }
    const ReplyRecords& records() const { return records_; }
    const RunStatistics& statistics() const { return stats_; }
    // The summary values; shows a minimum, maximum or average of 0 as 1 from then on.
    SummaryTexts summary() { return SummaryFromStatistics(stats_); }
    const ExpandedTargets& targets() const { return targets_; }
    QString statusLine() const { return statusLine_; }
    // Probes the reply sink of the last run could not store.
    qint32 failedInsertCount() const { return sink_ ? sink_->failedCount() : 0; }
    // The run as the results pane, the exports and the reports read it.
    RunResults results() const { return {records_, stats_, targets_, resultsRepeat_}; }

    using ReplySinkFactory = std::function<std::unique_ptr<ReplySink>()>;
    // Where the replies of the following runs go; by default the result logs of the data
    // folder.
    void setReplySinkFactory(ReplySinkFactory factory) { sinkFactory_ = std::move(factory); }
    // The start's status line: "侦测测试" + size + " 字节数据:" ... + target count + "  IP ".
    QString runHeading() const;

  Q_SIGNALS:
    // Results display. Rows: row = index % 20; index % 20 == 0 empties the page first.
    void resultsReset();
    void statusLineChanged(int item, const QString& text);
    void detailColumnPlaced(bool longAddresses);
    void replyShown(qint32 index, const QString& prefix, const QString& detail);
    void statisticsChanged();
    void scrollSetup(qint32 lastIndex, qint32 lastShownIndex);
    void reportLinkShown(bool shown);
    void summaryLabelsShown();
    void probeFinished();
    // A probe could not be stored: probing of the run has ended, the stop is up to the caller.
    void probingFailed();
    // Run life cycle.
    void stopButtonEnabled(bool enabled);
    void started();
    void startAbandoned();
    void stopCompleted();

  private:
    // Start.
    void continueStart(ExpandedTargets& targets);
    void continueStartGuarded(ExpandedTargets& targets);
    void abandonStart();
    bool openRun();
    void startFailed(const QString& error);
    void setStatus(int item, const QString& text);
    // Rounds and probes.
    void onTick();
    void runProbes();
    bool nextVisit();
    void advanceSizeSequence();
    void PingIP(qint32 target);
    void onEchoReply(qint32 target, const EchoReply& reply);
    void finishProbe(qint32 target, const EchoReply& reply);
    void probeFailed(const QString& error);
    void endRound();
    bool scheduledEndPassed() const;
    void armTick(int delayMs);
    // Stop completion.
    void stopDuringLookUp();
    void onStopTimer();

    Services services_;
    RunState& state_;
    TestParameters& params_;
    QString dataFolder_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);

    std::unique_ptr<Timer> timer1_;
    std::unique_ptr<Timer> timer2_;
    bool timer1Enabled_ = false;

    TargetExpansion expansion_;
    ExpandedTargets targets_;
    std::vector<std::optional<quint32>> targetAddresses_;  // converted once per start
    ReplyRecords records_;
    RunStatistics stats_;
    ReplySinkFactory sinkFactory_;
    std::unique_ptr<ReplySink> sink_;
    qint32 resultsRepeat_ = 1;  // repeat per target of the run the records belong to
    bool transportOpen_ = false;

    bool stopRequested_ = false;
    bool probeInProgress_ = false;
    bool scheduledRun_ = false;
    bool scheduleEndCheck_ = false;
    QDateTime scheduledEnd_;
    qint32 savedInterval_ = 0;
    QString firstTargetAddress_;
    QString statusLine_;

    // Position inside the current round.
    qint64 tickStartMs_ = 0;
    qint32 visitTarget_ = -1;
    qint32 visitProbe_ = 0;
    bool inRound_ = false;
    bool awaitingReply_ = false;
    bool loopActive_ = false;
};

}  // namespace sondrel
