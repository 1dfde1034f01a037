// The main window's start-up after it is shown, and the settings saved when it closes.

#include <QCheckBox>
#include <QFrame>
#include <QToolButton>

#include "app/settings_binding.h"
#include "app/ui/button_row.h"
#include "app/ui/form_tester.h"
#include "app/ui/run_options.h"
#include "common/run_state.h"
#include "engine/ping_test.h"
#include "engine/test_parameters.h"
#include "engine/ui/parameter_frame.h"

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
    if (const std::optional<bool> logging = StoredCheck(*settings_, Setting::IfDB)) {
        loadingSettings_ = true;
        runOptions_->checkDB()->setChecked(*logging);
        loadingSettings_ = false;
    }
}

// "跟踪" opens on the route trace page, anything else on the ping page, whose previous results
// are offered only when database logging is set up.
void FormTester::ChooseStartPage() {
    if (StartsOnTracePage(*settings_)) {
        showTracePage();
        return;
    }
    mnuSelectPing_Click();
    if (dbSetup_.configured())
        test_->ReloadPreviousPing();
}

void FormTester::showTracePage() {
    state_->selectedFunction = Activity::Trace;
    buttons_->raiseStartButton(Activity::Trace);
    frame1_1_->hide();
    regions_.frame1_2->show();
    regions_.frame1_2->raise();
    buttons_->button(QStringLiteral("CommandSelectFun_0"))->raise();
}

// The boxes and the facts of the session go to the store in one pass. The trace controls do
// not exist yet, so their stored values are kept as read.
void FormTester::SaveCurrentSettings() {
    SessionFacts facts;
    facts.runningActivity = state_->runningActivity;
    facts.targetCount = test_->targets().count();
    facts.checkDB = runOptions_->checkDB()->isChecked();
    CaptureCurrentSettings(*settings_, *params_, facts);
    settings_->WriteSettings();
}

}  // namespace sondrel
