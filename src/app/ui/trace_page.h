#pragma once

#include <QObject>

#include "app/ui/page_controller.h"

namespace sondrel {

class ButtonRow;
class ResultsPane;
class RunOptions;
class TargetListController;
class TraceFrame;
class TraceJumpList;
class TraceRun;

// The route trace page: a trace of the selected targets started with the options of the trace
// frame, stopped on request, its lines in the results pane, the jump list over the pane, and the
// host list picked from the drop-down of the trace targets.
class TracePage final : public QObject, public PageController {
    Q_OBJECT
  public:
    struct Parts {
        TraceRun& run;
        TargetListController& targets;
        TraceFrame& frame;
        ResultsPane& results;
        ButtonRow& buttons;
        RunOptions& runOptions;
    };
    TracePage(Parts parts, QObject* parent);
    ~TracePage() override;

    void start() override;
    void stop() override;

    // The last trace shown again from its output files (start-up on the trace page).
    void reload(const QString& fileBase, qint64 count, qint32 maxHops);
    // The floating jump list closes (the window's pop-ups dismissed).
    void hideJumpList();
    TraceJumpList& jumpList() { return *jumpList_; }

  Q_SIGNALS:
    // The focus goes back to its resting place below the visible area.
    void focusRestRequested();
    // The trace took the results pane: the other panes go behind it.
    void resultsShown();
    // A trace start saves the defaults before its first process.
    void settingsSaveRequested();

  private:
    void connectRun();
    void connectPane();
    void resetResults();
    void SetTraceHostList(const QString& item);

    Parts parts_;
    TraceJumpList* jumpList_ = nullptr;
};

}  // namespace sondrel
