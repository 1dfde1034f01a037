#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "common/clock.h"
#include "common/process_runner.h"
#include "common/resolver.h"
#include "common/run_services.h"
#include "common/run_state.h"
#include "common/user_prompts.h"
#include "scan/scan_table.h"
#include "targets/target_request.h"

namespace sondrel {

inline constexpr int ScanTickMs = 500;       // TimerS1
inline constexpr int ScanStopTickMs = 5000;  // TimerS3
inline constexpr int ScanLaunchPauseMs = 10;

// Runs one command line and hands its output on, chunk by chunk, the last chunk empty; returns
// when the command is done. The window runs it through ClassDos; tests script it.
using ScanCommandFn =
    std::function<void(const QString& line, const std::function<void(const QString&)>& receive)>;

// The address scan: one worker process per address, started 10 ms apart, each reporting once
// through the report socket; a 500 ms tick draws the rows and finishes the scan on its second
// sight of "OK" (every report in), or after a stop on the first tick after the third stop tick.
// The finish completes the hardware addresses from the address-resolution table and the own
// interface's address.
class ScanRun : public QObject {
    Q_OBJECT
  public:
    struct Services : RunServices {
        ScanCommandFn runCommand;
        std::function<QString()> localAddress;                      // LocalHostAddress
        std::function<QString(const QString&)> interfaceOfAddress;  // its interface's name
    };
    ScanRun(Services services, RunState& state, QString workerProgram, QString endpoint,
            QString reportDirectory);
    ~ScanRun() override;

    // StartScan: targets from `manualRange` when given (an entry line), else the request's box
    // or selection. Busy while another activity runs or a scan is still being started.
    StartResult StartScan(const TargetRequest& request, const QString& manualRange = {});
    // The worker program as start-up wrote it.
    void setWorkerProgram(const QString& path) { workerProgram_ = path; }
    QString workerProgram() const { return workerProgram_; }
    void setReportDirectory(const QString& folder) { reportDirectory_ = folder; }
    // The scan branch of the stop command.
    void StopScan();
    // One report text of kind 3 (ReceiveScanReport after the buffer).
    void ReceiveScanReport(const QString& text);
    // The ticks; public so that the start loop and the tests can run them.
    void TimerS1_Timer();
    void TimerS3_Timer();
    // The operator moved the scroll bar VScroll2.
    void VScroll2_Change(int value);
    // "全部", "活动" or "非活动".
    void ShowScanView(const QString& filter);

    const ScanTable& ScanResults() const { return results_; }
    const ScanTable& ScanResultsKept() const { return kept_; }
    // The titles of the scanned targets, by row (the exports name each row's entry).
    const QStringList& targetTitles() const { return titles_; }
    bool scanning() const { return phase_ == Phase::Starting || phase_ == Phase::Collecting; }
    bool finished() const { return finished_; }
    const ScanRowViews& rows() const { return rows_; }
    QString text2() const { return text2_; }
    QString labelTotal() const { return labelTotal_; }
    QString labelActive() const { return labelActive_; }
    QString labelInactive() const { return labelInactive_; }
    QString separator() const { return separator_; }
    int scrollMinimum() const { return scrollMin_; }
    int scrollMaximum() const { return scrollMax_; }
    int scrollValue() const { return scrollValue_; }
    int launched() const { return launched_; }
    int activeCount() const { return active_; }
    int inactiveCount() const { return inactive_; }
    // The "扫描完成：" text for the seconds since the start.
    QString completionText() const;

  Q_SIGNALS:
    // The scan page is shown (Picture2 and the pop-ups hidden).
    void pageShown();
    void rowsChanged();
    void textsChanged();
    void scrollChanged(int minimum, int maximum, int value);
    void viewButtonsShown(bool shown);
    void started();
    // The start found no target (after its messages) and ended.
    void startAbandoned();
    void scanFinished();

  private:
    enum class Phase { Idle, LookingUp, Starting, Collecting, Finishing, Finished };

    void continueStart(ExpandedTargets& targets);
    bool reportUnresolved(ExpandedTargets& targets);
    void launchOne();
    void afterPause();
    void startFailed(const QString& error);
    void finishScan();
    void leaveBusyStateOfScan();
    void completeHardwareAddresses();
    // The own address's hardware address; true when its source gave an answer.
    bool ownAddressStep();
    void drawRows();
    void setScroll(int minimum, int maximum, int value);
    void setText2(const QString& text);
    int secondsOfDay() const;

    Services services_;
    RunState& state_;
    QString workerProgram_;
    QString endpoint_;
    QString reportDirectory_;
    std::unique_ptr<Timer> timerS1_;
    std::unique_ptr<Timer> timerS3_;
    std::unique_ptr<Timer> pause_;
    TargetExpansion expansion_;
    std::vector<std::unique_ptr<ChildProcess>> workers_;

    Phase phase_ = Phase::Idle;
    ScanTable results_;
    ScanTable kept_;
    QStringList titles_;
    ScanRowViews rows_;
    int launched_ = 0, expected_ = 0, received_ = 0, active_ = 0, inactive_ = 0;
    int remaining_ = 0, stopTicks_ = 0, okTicks_ = 0, startSeconds_ = 0;
    bool stopFlag_ = false, finished_ = false, userScrolled_ = false, ownScroll_ = false;
    int scrollMin_ = 0, scrollMax_ = 0, scrollValue_ = 0;
    QString text2_, labelTotal_, labelActive_, labelInactive_, separator_;
};

}  // namespace sondrel
