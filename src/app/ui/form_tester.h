#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWindow>
#include <memory>

#include "app/settings.h"
#include "app/ui/window_regions.h"
#include "common/run_state.h"
#include "db/db_setup.h"

class QLineEdit;

namespace sondrel {

class ButtonRow;
class ConsolePage;
class Clock;
class DialogCommandLine;
class EchoTransport;
class LocalNetworkSource;
class MainMenu;
class ManualTargetBox;
class ParameterDialogs;
class ParameterFrame;
class PageController;
class PingPage;
class PingTest;
class ProcessRunner;
class Resolver;
class ResultsPane;
class RunOptions;
class ScheduleController;
class RunState;
class ScanPage;
class TargetListController;
class TestParameters;
class TraceFrame;
class TracePage;
class TraceRun;
class UserPrompts;

// The main window, where the parts are put together: the layout of every region, the menus,
// buttons and keys wired to their commands, one controller per page that starts and stops its
// function, the busy state of the buttons, the refused close, and the command line applied at
// start and built on request.
class FormTester : public QMainWindow {
    Q_OBJECT
  public:
    // What the window works with; the program passes the real services, tests their fakes.
    struct Services {
        EchoTransport& echo;
        Resolver& resolver;
        Clock& clock;
        UserPrompts& prompts;
        QString dataFolder;                     // ends in "/"
        ParameterDialogs* dialogs = nullptr;    // null: the window's own advanced dialogs
        LocalNetworkSource* network = nullptr;  // null: the system's network facts
        QString settingsPath;                   // empty: settings kept in memory only
        ProcessRunner* processes = nullptr;     // null: the system's child processes
        QString tracertProgram = {};            // empty: our tracert beside the program
    };

    FormTester(Services services, QString commandLineText, QWidget* parent = nullptr);
    ~FormTester() override;

    // Applies the program's argument text; runs once, after the window is shown. Six fields
    // set the five parameter boxes and the targets, then start a ping test as CommandStart does.
    void ApplyCommandLine();
    // The load steps after the window is shown: the stored settings, the database set-up,
    // the start page with the previous results, and last the command line.
    void LoadAfterShow();

    RunState& runState() { return *state_; }
    TestParameters& parameters() { return *params_; }
    PingTest& pingTest() { return *test_; }
    TraceRun& traceRun() { return *trace_; }
    TargetListController& targetList() { return *targets_; }
    Settings& settings() { return *settings_; }
    const DbSetup& dbSetup() const { return dbSetup_; }
    // The command of the last mnuBuildCmdLine.
    QString builtCommandLine() const { return builtCommandLine_; }

  Q_SIGNALS:
    // mnuExit while nothing runs: the program ends at once, nothing is saved.
    void programEndRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // Layout.
    void buildClientArea();
    void addFocusWidgets(QWidget* client);
    void connectMenu();
    void connectEngine();
    void connectTrace();
    void connectScan();
    void connectSchedule();
    void connectManualTarget();
    void connectTargetList();
    void addTargetList();
    void addConsole();
    // Commands.
    void CommandStart_Click();
    void CommandTracert_Click();
    void CommandStop_Click();
    void CommandSelectFun_Click(int item);
    void CommandSelectFun0_Click();
    void mnuSelectPing_Click();
    void mnuSelectTracert_Click();
    void mnuBuildCmdLine_Click();
    void mnuExit_Click();
    void TextPing_Enter();
    void TextPing_Change(const QString& text);
    void Form_Activate();
    void focusWindowChanged(QWindow* now);
    // Start-up and shut-down.
    void ApplySettings();
    void ApplyTraceSettings();
    void ChooseStartPage();
    void ReloadPreviousTrace();
    void SaveCurrentSettings();
    // Helpers.
    bool refusedWhileBusy();
    // The controller of a page; null for a page not built yet.
    PageController* page(Activity activity) const;
    QStringList boxTexts() const;
    void showPingPane();
    void restFocus();

    Services services_;
    QString commandLineText_;
    bool commandLineApplied_ = false;
    bool activatedOnce_ = false;
    QPointer<QWindow> lastFocusWindow_;
    QString builtCommandLine_;

    std::unique_ptr<RunState> state_;
    std::unique_ptr<LocalNetworkSource> ownNetwork_;
    std::unique_ptr<ParameterDialogs> ownDialogs_;
    std::unique_ptr<TestParameters> params_;
    std::unique_ptr<PingTest> test_;
    std::unique_ptr<ProcessRunner> ownProcesses_;
    std::unique_ptr<TraceRun> trace_;
    std::unique_ptr<TargetListController> targets_;
    std::unique_ptr<Settings> settings_;
    DbSetup dbSetup_;
    bool loadingSettings_ = false;  // raised while the stored logging state is applied

    PingPage* pingPage_ = nullptr;
    TracePage* tracePage_ = nullptr;
    ScanPage* scanPage_ = nullptr;
    ConsolePage* consolePage_ = nullptr;
    ScheduleController* schedule_ = nullptr;
    PageController* startedPage_ = nullptr;  // the page of the last start
    MainMenu* menu_ = nullptr;
    ButtonRow* buttons_ = nullptr;
    RunOptions* runOptions_ = nullptr;
    ManualTargetBox* textPing_ = nullptr;
    QLineEdit* text402_ = nullptr;
    ParameterFrame* frame1_1_ = nullptr;
    TraceFrame* frame1_2_ = nullptr;
    ResultsPane* picture2_ = nullptr;
    WindowRegions regions_{};
    DialogCommandLine* dialogCommandLine_ = nullptr;
};

}  // namespace sondrel
