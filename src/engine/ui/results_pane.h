#pragma once

#include <QFrame>

class QLabel;
class QScrollBar;

namespace sondrel {

class PingTest;
class RunState;

// The ping results pane `Picture2`: the status labels `LabelTittle` (items 0-3), twenty rows of
// `sTYPE`/`sIP`/`sIP2`, the summary `sIP3`/`sIP4`, the scroll bar `VScroll1` windowing over all
// records after a test, and the report link `PingReport`. Control-array items are named
// "<name>_<item>" (for example "sIP2_19").
class ResultsPane : public QFrame {
    Q_OBJECT
public:
    ResultsPane(PingTest& test, RunState& state, QWidget* parent = nullptr);

Q_SIGNALS:
    void reportRequested();      // `PingReport` clicked
    void focusRestRequested();   // the pane asks to move the focus to `Text402`
    void popupsDismissed();      // clicks that close the floating panels
};

}  // namespace sondrel
