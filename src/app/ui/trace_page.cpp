#include "app/ui/trace_page.h"

#include <QLabel>

#include "app/ui/button_row.h"
#include "app/ui/run_options.h"
#include "engine/ui/results_pane.h"
#include "targets/target_list.h"
#include "targets/ui/target_list_controller.h"
#include "trace/trace_lines.h"
#include "trace/trace_run.h"
#include "trace/ui/trace_frame.h"
#include "trace/ui/trace_jump_list.h"

namespace sondrel {

TracePage::TracePage(Parts parts, QObject* parent)
    : QObject(parent), parts_(parts), jumpList_(new TraceJumpList(parts.run, &parts.results)) {
    connectRun();
    connectPane();
    connect(&parts_.frame, &TraceFrame::hostListPicked, this, &TracePage::SetTraceHostList);
    connect(&parts_.frame, &TraceFrame::backgroundClicked, this, &TracePage::hideJumpList);
}

TracePage::~TracePage() = default;

// The options are checked first; a start that got past them takes the start-now option.
void TracePage::start() {
    const TraceOptionTexts texts = parts_.frame.optionTexts();
    const StartResult result =
        parts_.targets.startFromSelection([this, &texts](TargetRequest& request) {
            return parts_.run.CommandTracert_Click(request, texts);
        });
    if (result != StartResult::Refused)
        parts_.runOptions.selectStartNow();
}

void TracePage::stop() {
    parts_.run.StopTrace();
}

void TracePage::reload(const QString& fileBase, qint64 count, qint32 maxHops) {
    parts_.run.ReloadPreviousTrace(fileBase, count, maxHops);
}

void TracePage::hideJumpList() {
    jumpList_->hidePopup();
}

void TracePage::connectRun() {
    TraceRun* run = &parts_.run;
    connect(run, &TraceRun::resultsReset, this, &TracePage::resetResults);
    connect(run, &TraceRun::titleLineChanged, parts_.results.title(0), &QLabel::setText);
    connect(run, &TraceRun::rowsChanged, this,
            [this](const QStringList& rows, qint64 firstRow, qint64 totalRows) {
                parts_.results.showTextRows(rows, int(firstRow), int(totalRows));
            });
    connect(run, &TraceRun::jumpControlsShown, jumpList_, &TraceJumpList::setShown);
    connect(run, &TraceRun::defaultsSaveRequested, this, &TracePage::settingsSaveRequested);
    connect(run, &TraceRun::started, this, &TracePage::focusRestRequested);
    connect(run, &TraceRun::stopButtonEnabled, this, [this](bool enabled) {
        parts_.buttons.setStopEnabled(enabled);
        if (enabled)
            return;
        parts_.runOptions.selectStartNow();
        Q_EMIT focusRestRequested();
    });
}

// The bar over the trace lines moves the window of rows; a click in the pane closes the jump
// list.
void TracePage::connectPane() {
    connect(&parts_.results, &ResultsPane::textRowsScrolled, this,
            [this](int firstRow) { parts_.run.showFromRow(firstRow); });
    connect(&parts_.results, &ResultsPane::popupsDismissed, this, [this](int panels) {
        if (panels & ResultsPane::PopupTraceIP)
            hideJumpList();
    });
}

// The results pane in front, black, its twenty rows empty and laid out for trace lines.
void TracePage::resetResults() {
    parts_.targets.hidePopup();
    Q_EMIT resultsShown();
    parts_.results.ResetForTest();
    parts_.results.showTextRows(QStringList(TraceRowsShown, QString()), 0, 0);
}

// An item of the host list's drop-down: its entry's address, or its group's first members.
void TracePage::SetTraceHostList(const QString& item) {
    const QStringList& entries = parts_.targets.list().IPEntries();
    const int position = TraceItemPosition(item);
    if (position < 0 || position >= entries.size())
        return;
    if (const std::optional<QString> hosts = TraceHostListFromEntry(entries.at(position)))
        parts_.frame.setHostListText(*hosts);
}

}  // namespace sondrel
