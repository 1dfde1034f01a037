#include "app/ui/ping_page.h"

#include "app/ui/button_row.h"
#include "app/ui/run_options.h"
#include "engine/ping_test.h"
#include "engine/ui/parameter_frame.h"
#include "engine/ui/results_pane.h"
#include "targets/ui/target_list_controller.h"

namespace sondrel {

PingPage::PingPage(Parts parts, QObject* parent) : QObject(parent), parts_(parts) {
    connectTest();
}

// A box being edited counts with what it shows; the targets are the selection of the list,
// else the manual box.
void PingPage::start() {
    parts_.frame.commitPendingEdits();
    const StartResult result = parts_.targets.startFromSelection(
        [this](TargetRequest& request) { return parts_.test.CommandStart_Click(request); });
    if (result != StartResult::Refused)
        parts_.runOptions.selectStartNow();
}

void PingPage::stop() {
    parts_.test.CommandStop_Click();
}

void PingPage::showResults(QWidget* scanPane, QWidget* consolePane) {
    parts_.targets.hidePopup();
    for (QWidget* pane : {scanPane, consolePane})
        if (pane != nullptr)
            pane->hide();
    parts_.results.show();
}

void PingPage::connectTest() {
    PingTest* test = &parts_.test;
    // Every probe ends by hiding the members popup.
    connect(test, &PingTest::probeFinished, &parts_.showIPPopup, &QWidget::hide);
    connect(test, &PingTest::stopButtonEnabled, this, [this](bool enabled) {
        parts_.buttons.setStopEnabled(enabled);
        if (enabled)
            return;
        // A stop, clicked or reached by the test itself, offers the start-now option again.
        parts_.runOptions.selectStartNow();
        Q_EMIT focusRestRequested();
    });
    connect(test, &PingTest::resultsReset, this, &PingPage::resultsShown);
    connect(test, &PingTest::started, this, &PingPage::focusRestRequested);
    connect(&parts_.results, &ResultsPane::focusRestRequested, this, &PingPage::focusRestRequested);
    connect(&parts_.results, &ResultsPane::popupsDismissed, this, [this](int panels) {
        if (panels & ResultsPane::PopupShowIP)
            parts_.targets.hidePopup();
    });
}

}  // namespace sondrel
