// The pages of the main window put together: ping, trace, scan and console, and the scheduled
// start that starts the offered one.

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/ui/button_row.h"
#include "app/ui/console_page.h"
#include "app/ui/form_tester.h"
#include "app/ui/frame_time.h"
#include "app/ui/main_menu.h"
#include "app/ui/ping_page.h"
#include "app/ui/run_options.h"
#include "app/ui/scan_page.h"
#include "app/ui/schedule_controller.h"
#include "app/ui/trace_page.h"
#include "common/run_state.h"
#include "console/ui/console_panel.h"
#include "engine/ping_test.h"
#include "engine/ui/parameter_frame.h"
#include "engine/ui/results_pane.h"
#include "scan/ui/scan_pane.h"
#include "targets/target_list.h"
#include "targets/ui/members_popup.h"
#include "targets/ui/target_list_controller.h"
#include "trace/trace_run.h"
#include "trace/ui/trace_frame.h"

namespace sondrel {

// The pages of the window.
void FormTester::connectEngine() {
    connect(state_.get(), &RunState::busyChanged, buttons_, &ButtonRow::setBusy);
    pingPage_ = new PingPage({*test_, *targets_, *frame1_1_, *picture2_, *buttons_, *runOptions_,
                              *regions_.pictureShowIP},
                             this);
    connect(pingPage_, &PingPage::focusRestRequested, this, &FormTester::restFocus);
    connect(pingPage_, &PingPage::resultsShown, this, &FormTester::showPingPane);
}

PageController* FormTester::page(Activity activity) const {
    switch (activity) {
        case Activity::Ping:
            return pingPage_;
        case Activity::Trace:
            return tracePage_;
        case Activity::Scan:
            return scanPage_;
        case Activity::None:
            break;
    }
    return nullptr;
}

// The console pane with its history; `Command11` and mnuDos (F8) show it.
void FormTester::addConsole() {
    consolePage_ = new ConsolePage(
        {services_.prompts, services_.dataFolder, QFileInfo(services_.tracertProgram).path()},
        *targets_, *menu_, centralWidget());
    regions_.pictureDOS = &consolePage_->panel();
    buttons_->setAvailable(QStringLiteral("Command11"), true);
    connect(buttons_->button(QStringLiteral("Command11")), &QToolButton::clicked, consolePage_,
            &ConsolePage::showPane);
    connect(consolePage_, &ConsolePage::addEntryRequested, targets_.get(),
            &TargetListController::AddSingleEntry);
}

// The trace page; its host list drop-down follows the target list.
void FormTester::connectTrace() {
    tracePage_ =
        new TracePage({*trace_, *targets_, *frame1_2_, *picture2_, *buttons_, *runOptions_}, this);
    connect(tracePage_, &TracePage::focusRestRequested, this, &FormTester::restFocus);
    connect(tracePage_, &TracePage::resultsShown, this, &FormTester::showPingPane);
    connect(tracePage_, &TracePage::settingsSaveRequested, this, &FormTester::SaveCurrentSettings);
    auto fillHostItems = [this] { frame1_2_->setHostListItems(targets_->list().traceItems()); };
    connect(&targets_->list(), &TargetList::listChanged, this, fillHostItems);
    fillHostItems();
}

// The scheduled start: its editor over the window, the start of the selected function when its
// minute has come (a ping test with its scheduled end), and the schedule line in the results
// pane. A click on the frames or the pane closes the editor, as it does the jump list.
void FormTester::connectSchedule() {
    auto* editor = new FrameTime(centralWidget());
    schedule_ = new ScheduleController(
        {*runOptions_, *editor, *picture2_->title(0), *state_, services_.clock, services_.prompts},
        this);
    connect(schedule_, &ScheduleController::focusRestRequested, this, &FormTester::restFocus);
    connect(schedule_, &ScheduleController::captionShowing, this, [this] {
        targets_->hidePopup();
        tracePage_->hideJumpList();
        showPingPane();
        picture2_->ResetForTest();
        picture2_->findChild<QWidget*>(QStringLiteral("PingReport"))->hide();
    });
    connect(schedule_, &ScheduleController::startDue, this,
            [this](Activity function, const QDateTime& end) {
                if (function == Activity::Trace) {
                    CommandTracert_Click();
                    return;
                }
                test_->setScheduledEnd(end);
                CommandStart_Click();
                if (!state_->activityBusy())
                    test_->setScheduledEnd({});  // the start was refused: no end is pending
            });
    const auto closePopups = [this] {
        tracePage_->hideJumpList();
        schedule_->hideEditor();
    };
    connect(frame1_1_, &ParameterFrame::backgroundClicked, this, closePopups);
    connect(frame1_2_, &TraceFrame::backgroundClicked, this, closePopups);
    connect(picture2_, &ResultsPane::popupsDismissed, this, [this](int panels) {
        if (panels & ResultsPane::PopupFrameTime)
            schedule_->hideEditor();
    });
}

// The scan page; Command8, F12 and the range dialog start a scan, refused while anything runs.
void FormTester::connectScan() {
    scanPage_ = new ScanPage(
        {{*services_.processes, services_.clock, services_.prompts, services_.resolver},
         *state_,
         services_.dataFolder},
        {*targets_, *qobject_cast<ScanPane*>(regions_.picture3), *picture2_, *regions_.pictureDOS,
         *picture2_->title(0), *buttons_, *runOptions_, *menu_, *text402_},
        this);
    const auto startScan = [this] {
        if (refusedWhileBusy())
            return;
        startedPage_ = scanPage_;
        scanPage_->start();
    };
    connect(buttons_->button(QStringLiteral("Command8")), &QToolButton::clicked, this, startScan);
    connect(menu_->action(QStringLiteral("mnuIpscanner")), &QAction::triggered, this, startScan);
    connect(targets_.get(), &TargetListController::scanRequested, this, startScan);
}

}  // namespace sondrel
