// The main window's start-up after it is shown, and the settings saved when it closes.

#include <QCheckBox>
#include <QFrame>
#include <QToolButton>

#include "app/settings_binding.h"
#include "app/ui/button_row.h"
#include "app/ui/form_tester.h"
#include "app/ui/run_options.h"
#include "app/ui/trace_page.h"
#include "common/leading_number.h"
#include "common/run_state.h"
#include "engine/ping_test.h"
#include "engine/test_parameters.h"
#include "engine/ui/parameter_frame.h"
#include "trace/trace_run.h"
#include "trace/ui/trace_frame.h"

namespace sondrel {

// Steps 11 to 21 of the load. The console presets and history, the scanner program and the
// scan's start values belong to later parts of the program and join here.
void FormTester::LoadAfterShow() {
    settings_->ReadSettings();
    ApplySettings();
    dbSetup_ = ReadDbSetup(services_.dataFolder + DbSetupFileName);
    if (!dbSetup_.configured())
        runOptions_->checkDB()->setChecked(false);
    ChooseStartPage();
    ApplyCommandLine();
}

// Stored values override the built-in defaults; empty ones are not applied. The logging box
// is set with `loadingSettings_` raised, so that its click handling opens no set-up dialog.
void FormTester::ApplySettings() {
    ApplyParameterSettings(*settings_, *params_);
    ApplyTraceSettings();
    if (const std::optional<bool> logging = StoredCheck(*settings_, Setting::IfDB)) {
        loadingSettings_ = true;
        runOptions_->checkDB()->setChecked(*logging);
        loadingSettings_ = false;
    }
}

// The trace options: a stored text becomes the box's text, the resolve box takes a number.
void FormTester::ApplyTraceSettings() {
    const std::pair<Setting, void (TraceFrame::*)(const QString&)> boxes[] = {
        {Setting::HopNumber, &TraceFrame::setMaxHopsText},
        {Setting::HostList, &TraceFrame::setHostListText},
        {Setting::TimeOut2, &TraceFrame::setTimeOutText}};
    for (const auto& [setting, apply] : boxes) {
        const QString text = settings_->value(setting);
        if (!text.isEmpty())
            (frame1_2_->*apply)(text);
    }
    if (const std::optional<bool> resolve = StoredCheck(*settings_, Setting::IPtoName))
        frame1_2_->setResolveNames(*resolve);
}

// "跟踪" opens on the route trace page with the last trace shown again; anything else on the
// ping page, whose previous results are offered only when database logging is set up.
void FormTester::ChooseStartPage() {
    if (StartsOnTracePage(*settings_)) {
        mnuSelectTracert_Click();
        ReloadPreviousTrace();
        return;
    }
    mnuSelectPing_Click();
    if (dbSetup_.configured())
        test_->ReloadPreviousPing();
}

// The output files of the last trace, as many as it had targets, each with room for the
// stored maximum hops.
void FormTester::ReloadPreviousTrace() {
    const qint64 count = WholeNumber(LeadingNumber(settings_->value(Setting::IPQty)));
    const auto maxHops = qint32(WholeNumber(LeadingNumber(settings_->value(Setting::HopNumber))));
    tracePage_->reload(settings_->value(Setting::TraceFileName), count, maxHops);
}

// The boxes and the facts of the session go to the store in one pass. The target count is the
// one of the last run's kind; the trace file name stays as read until a trace starts.
void FormTester::SaveCurrentSettings() {
    SessionFacts facts;
    facts.runningActivity = state_->runningActivity;
    const bool traced = state_->runningActivity == Activity::Trace;
    facts.targetCount = traced ? trace_->targetCount() : test_->targets().count();
    if (!trace_->fileBase().isEmpty())
        facts.traceFileName = trace_->fileBase();
    facts.checkDB = runOptions_->checkDB()->isChecked();
    const TraceOptionTexts trace = frame1_2_->optionTexts();
    facts.checkIPtoName = trace.resolveNames;
    facts.hopNumber = trace.maxHops;
    facts.hostList = trace.hostList;
    facts.traceTimeOut = trace.timeOut;
    CaptureCurrentSettings(*settings_, *params_, facts);
    settings_->WriteSettings();
}

}  // namespace sondrel
