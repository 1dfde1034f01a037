#pragma once

#include <QObject>

#include "app/ui/page_controller.h"

namespace sondrel {

class ButtonRow;
class ParameterFrame;
class PingTest;
class ResultsPane;
class RunOptions;
class TargetListController;

// The ping page: the test started from the selected targets and the parameter boxes, stopped
// on request, and the window's reactions to the test (buttons, the results pane, the popup).
class PingPage final : public QObject, public PageController {
    Q_OBJECT
  public:
    struct Parts {
        PingTest& test;
        TargetListController& targets;
        ParameterFrame& frame;
        ResultsPane& results;
        ButtonRow& buttons;
        RunOptions& runOptions;
        QWidget& showIPPopup;
    };
    PingPage(Parts parts, QObject* parent);

    void start() override;
    void stop() override;
    // The results pane in front of the scan and console panes.
    void showResults(QWidget* scanPane, QWidget* consolePane);

  Q_SIGNALS:
    // The focus goes back to its resting place below the visible area.
    void focusRestRequested();
    // A new run reset the results: the ping pane comes to the front.
    void resultsShown();

  private:
    void connectTest();

    Parts parts_;
};

}  // namespace sondrel
