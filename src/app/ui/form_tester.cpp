#include "app/ui/form_tester.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolButton>

#include "app/product_page.h"
#include "app/tracert_path.h"
#include "app/ui/button_row.h"
#include "app/ui/database_commands.h"
#include "app/ui/dialog_command_line.h"
#include "app/ui/export_commands.h"
#include "app/ui/focus_trap.h"
#include "app/ui/list_copy_commands.h"
#include "app/ui/main_menu.h"
#include "app/ui/manual_target_box.h"
#include "app/ui/ping_page.h"
#include "app/ui/run_options.h"
#include "app/ui/scan_page.h"
#include "app/ui/schedule_controller.h"
#include "app/ui/shell_commands.h"
#include "app/ui/trace_page.h"
#include "app/ui/window_placement.h"
#include "common/process_runner.h"
#include "common/run_state.h"
#include "common/ui/cjk_font.h"
#include "common/ui/twips.h"
#include "engine/ping_test.h"
#include "engine/test_parameters.h"
#include "engine/ui/parameter_frame.h"
#include "engine/ui/results_pane.h"
#include "engine/ui/widget_parameter_dialogs.h"
#include "targets/local_network.h"
#include "targets/target_list.h"
#include "targets/ui/members_popup.h"
#include "targets/ui/target_list_controller.h"
#include "targets/ui/target_list_panel.h"
#include "trace/trace_run.h"
#include "trace/ui/trace_frame.h"

namespace sondrel {

namespace {

const QString ProductCaption = QStringLiteral("Sondrel-专业版");
const QString BusyMessage = QStringLiteral("首先请单击停止按钮停止测试。");
const QString BusyTitle = QStringLiteral("测试运行。");

// Client area of the window, twips.
constexpr int ClientWidth = 11940;
constexpr int ClientHeight = 8415;

// The IP menu: the commands of the target list.
const char* const ListCommands[] = {"mnuAddS",   "mnuAddG",        "munAddR", "mnuEdit",
                                    "mnuDelete", "mnuScanLocalIP", "mnuReset"};

// Runs `act` when the pointer comes over the watched widget.
class PointerWatch final : public QObject {
  public:
    PointerWatch(QWidget* watched, std::function<void()> act)
        : QObject(watched), act_(std::move(act)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Enter)
            act_();
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> act_;
};

}  // namespace

FormTester::FormTester(Services services, QString commandLineText, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      commandLineText_(std::move(commandLineText)),
      state_(std::make_unique<RunState>()),
      settings_(std::make_unique<Settings>(services_.settingsPath)) {
    setObjectName(QStringLiteral("FormTester"));
    // One face with the Chinese glyphs, so that every caption fits its fixed place.
    setFont(CjkFont());
    // A fixed single border: no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QLatin1Char(' ') + ProductCaption + QStringLiteral("数据库版") +
                   QStringLiteral(SONDREL_VERSION));
    ParameterDialogs* dialogs = services_.dialogs;
    if (dialogs == nullptr) {
        ownDialogs_ = std::make_unique<WidgetParameterDialogs>(this);
        dialogs = ownDialogs_.get();
    }
    params_ = std::make_unique<TestParameters>(services_.prompts, *dialogs);
    test_ = std::make_unique<PingTest>(
        PingTest::Services{services_.echo, services_.resolver, services_.clock, services_.prompts},
        *state_, *params_, services_.dataFolder);
    if (services_.network == nullptr) {
        ownNetwork_ = std::make_unique<SystemLocalNetwork>();
        services_.network = ownNetwork_.get();
    }
    if (services_.processes == nullptr) {
        ownProcesses_ = std::make_unique<SystemProcessRunner>();
        services_.processes = ownProcesses_.get();
    }
    if (services_.tracertProgram.isEmpty())
        services_.tracertProgram = TracertProgramPath();
    trace_ = std::make_unique<TraceRun>(TraceRun::Services{*services_.processes, services_.clock,
                                                           services_.prompts, services_.resolver},
                                        *state_, services_.dataFolder, services_.tracertProgram);
    menu_ = new MainMenu(menuBar());
    buildClientArea();
    connectMenu();
    connectEngine();
    connectTrace();
    connectScan();
    auto* exports = new ExportCommands({*this, *menu_, *buttons_, *picture2_, *regions_.picture3,
                                        *test_, *trace_, *state_, *settings_, services_.prompts},
                                       this);
    exports->setScanRun(&scanPage_->run());
    connectSchedule();
    auto* shell = new ShellCommands({*this, *menu_, *buttons_, *picture2_, *regions_.picture3},
                                    ProductWebAddress(), this);
    connect(shell, &ShellCommands::focusRestRequested, this, &FormTester::restFocus);
    new ListCopyCommands({*menu_, *exports, *targets_, *consolePage_, services_.clock}, this);
    connectManualTarget();
    connectTargetList();
    new DatabaseCommands(
        {*runOptions_->checkDB(), *menu_->action(QStringLiteral("mnuSetupDB")), *test_,
         services_.prompts, services_.dataFolder, dbSetup_, loadingSettings_, this},
        this);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &FormTester::focusWindowChanged);
    targets_->Fill_IP_List_2();
    params_->FillParameterLists();
}

// The widgets of the client area hold references to the engine: they go first.
FormTester::~FormTester() {
    delete takeCentralWidget();
    targets_.reset();
}

void FormTester::buildClientArea() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(Twips(ClientWidth), Twips(ClientHeight));
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    regions_ = AddWindowRegions(client);
    frame1_1_ = new ParameterFrame(*params_, client);
    frame1_1_->setObjectName(QStringLiteral("Frame1_1"));
    PlaceTwips(frame1_1_, 4455, 0, 4050, 2295);
    frame1_2_ = new TraceFrame(client);
    frame1_2_->move(Twips(4455), 0);
    frame1_2_->hide();
    runOptions_ = new RunOptions(client);
    textPing_ = new ManualTargetBox(client);
    PlaceTwips(textPing_, 550, 2420, 2925, 300);
    buttons_ = new ButtonRow(client);
    for (const char* name : {"CommandStart", "CommandTracert", "CommandSelectFun_0", "CommandStop"})
        buttons_->setAvailable(QString::fromLatin1(name), true);
    buttons_->raiseStartButton(state_->selectedFunction);
    picture2_ = new ResultsPane(*test_, *state_, client);
    picture2_->setObjectName(QStringLiteral("Picture2"));
    PlaceTwips(picture2_, 120, 2760, 11720, 5535);
    addTargetList();
    addConsole();
    for (QWidget* pane : {regions_.picture3, regions_.pictureDOS})
        pane->raise();
    targets_->popup()->raise();
    addFocusWidgets(client);
}

// The target list panel with its box and heading, and the members popup.
void FormTester::addTargetList() {
    QWidget* client = centralWidget();
    targets_ = std::make_unique<TargetListController>(
        TargetListController::Services{services_.prompts, *services_.network, *state_,
                                       services_.dataFolder},
        client, textPing_, this);
    regions_.picture1_0 = targets_->panel();
    regions_.listIP = targets_->panel()->list();
    regions_.checkReset = targets_->panel()->checkReset();
    regions_.pictureShowIP = targets_->popup();
}

// `Text402`, the resting place of the focus below the visible area, and the traps `Text88`.
void FormTester::addFocusWidgets(QWidget* client) {
    text402_ = new QLineEdit(client);
    text402_->setObjectName(QStringLiteral("Text402"));
    PlaceTwips(text402_, 120, 8520, 1215, 300);
    QWidget* targets[] = {textPing_, text402_, text402_};
    FocusTrap* traps[3];
    for (int i = 0; i < 3; ++i) {
        traps[i] = new FocusTrap(targets[i], client);
        traps[i]->setObjectName(QStringLiteral("Text88_%1").arg(i));
        PlaceTwips(traps[i], 1500 + 30 * i, 8520, 15, 15);
    }
    // Tabbing out of the list lands in the manual box; past the buttons or the database
    // box it comes to rest.
    setTabOrder(regions_.listIP, traps[0]);
    setTabOrder(traps[0], textPing_);
    setTabOrder(textPing_, buttons_->button(QStringLiteral("CommandStart")));
    setTabOrder(buttons_->button(QStringLiteral("Command11")), traps[1]);
    setTabOrder(findChild<QWidget*>(QStringLiteral("CheckDB")), traps[2]);
}

// Every menu item and button of the window with the command it runs. A menu item's key comes
// with the item (MainMenu), so the keys are wired here too.
void FormTester::connectMenu() {
    using Command = void (FormTester::*)();
    const std::pair<const char*, Command> menuCommands[] = {
        {"mnuStart", &FormTester::CommandStart_Click},
        {"mnuStop", &FormTester::CommandStop_Click},
        {"mnuTracert", &FormTester::CommandTracert_Click},
        {"mnuSelectPing", &FormTester::mnuSelectPing_Click},
        {"mnuSelectTracert", &FormTester::mnuSelectTracert_Click},
        {"mnuBuildCmdLine", &FormTester::mnuBuildCmdLine_Click},
        {"mnuExit", &FormTester::mnuExit_Click}};
    for (const auto& [name, command] : menuCommands)
        connect(menu_->action(QString::fromLatin1(name)), &QAction::triggered, this, command);
    const std::pair<const char*, Command> buttonCommands[] = {
        {"CommandStart", &FormTester::CommandStart_Click},
        {"CommandTracert", &FormTester::CommandTracert_Click},
        {"CommandStop", &FormTester::CommandStop_Click},
        {"CommandSelectFun_0", &FormTester::CommandSelectFun0_Click}};
    for (const auto& [name, command] : buttonCommands)
        connect(buttons_->button(QString::fromLatin1(name)), &QToolButton::clicked, this, command);
    connect(frame1_1_, &ParameterFrame::functionSelectorClicked, this,
            [this] { CommandSelectFun_Click(2); });
    connect(frame1_2_, &TraceFrame::functionSelectorClicked, this,
            [this] { CommandSelectFun_Click(1); });
    for (const char* name : ListCommands)
        menu_->action(QString::fromLatin1(name))->setEnabled(true);
    TargetListController* t = targets_.get();
    const std::pair<const char*, void (TargetListController::*)()> commands[] = {
        {"mnuAddS", &TargetListController::AddSingleEntry},
        {"mnuAddG", &TargetListController::AddGroupEntry},
        {"munAddR", &TargetListController::AddRangeEntry},
        {"mnuEdit", &TargetListController::EditEntry},
        {"mnuDelete", &TargetListController::DeleteEntries},
        {"mnuScanLocalIP", &TargetListController::mnuScanLocalIP_Click},
        {"mnuReset", &TargetListController::mnuReset_Click}};
    for (const auto& [name, command] : commands)
        connect(menu_->action(QString::fromLatin1(name)), &QAction::triggered, t, command);
}

// The list panel: a test asked for by an entry dialog, the current entry shown again once a
// run ends, and the normal size back when the pointer moves over the results.
void FormTester::connectTargetList() {
    connect(targets_.get(), &TargetListController::pingTestRequested, this,
            &FormTester::CommandStart_Click);
    connect(targets_.get(), &TargetListController::focusRestRequested, this,
            &FormTester::restFocus);
    connect(state_.get(), &RunState::busyChanged, this, [this](bool busy) {
        if (!busy)
            targets_->refreshCurrentEntry();
    });
    connect(picture2_, &ResultsPane::rowHovered, this, [this](bool detailColumn) {
        targets_->restoreSize();
        if (detailColumn)
            targets_->hidePopup();
    });
    for (const char* strip : {"Label1_18", "Label1_19"}) {
        auto* label = centralWidget()->findChild<QWidget*>(QString::fromLatin1(strip));
        new PointerWatch(label, [this] {
            targets_->restoreSize();
            targets_->hidePopup();
            tracePage_->hideJumpList();
        });
    }
}

void FormTester::connectManualTarget() {
    connect(textPing_, &ManualTargetBox::startRequested, this, &FormTester::TextPing_Enter);
    connect(textPing_, &QLineEdit::textChanged, this, &FormTester::TextPing_Change);
    connect(textPing_, &ManualTargetBox::entered, targets_.get(),
            &TargetListController::manualBoxEntered);
    connect(textPing_, &ManualTargetBox::left, targets_.get(),
            &TargetListController::manualBoxLeft);
}

// The start of a ping test as the button runs it: the menu and the keys do nothing while
// the button is disabled.
void FormTester::CommandStart_Click() {
    if (!buttons_->button(QStringLiteral("CommandStart"))->isEnabled())
        return;
    startedPage_ = pingPage_;
    pingPage_->start();
}

// mnuTracert and F11 run the trace as its button does, also while the ping test is offered.
void FormTester::CommandTracert_Click() {
    if (!buttons_->button(QStringLiteral("CommandTracert"))->isEnabled())
        return;
    startedPage_ = tracePage_;
    tracePage_->start();
}

// The stop goes to the page that started what runs (also while its start still looks up
// names); with nothing running, to the page of the last run.
void FormTester::CommandStop_Click() {
    if (!buttons_->button(QStringLiteral("CommandStop"))->isEnabled())
        return;
    PageController* running = state_->activityBusy() ? startedPage_ : nullptr;
    if (running == nullptr)
        running = page(state_->runningActivity);
    (running != nullptr ? running : pingPage_)->stop();
}

void FormTester::CommandSelectFun0_Click() {
    CommandSelectFun_Click(0);
}

// The function selectors: item 0 in the button row, item 2 in the ping frame, item 1 in the
// trace frame. Each pops the function menu up at its own place.
void FormTester::CommandSelectFun_Click(int item) {
    targets_->hidePopup();
    restFocus();
    static const QPoint places[] = {{3200, 2700}, {7200, 300}, {5850, 430}};
    if (item < 0 || item > 2)
        return;
    const QPoint at(Twips(places[item].x()), Twips(places[item].y()));
    menu_->menu(QStringLiteral("mnuFunction"))->popup(centralWidget()->mapToGlobal(at));
}

void FormTester::mnuSelectPing_Click() {
    state_->selectedFunction = Activity::Ping;
    buttons_->raiseStartButton(Activity::Ping);
    frame1_2_->hide();
    frame1_1_->show();
    frame1_1_->raise();
    buttons_->button(QStringLiteral("CommandSelectFun_0"))->raise();
    runOptions_->offerPingSchedule();
    schedule_->functionChanged();
}

// The trace has no scheduled end: only its start can be set.
void FormTester::mnuSelectTracert_Click() {
    state_->selectedFunction = Activity::Trace;
    buttons_->raiseStartButton(Activity::Trace);
    frame1_1_->hide();
    frame1_2_->show();
    frame1_2_->raise();
    buttons_->button(QStringLiteral("CommandSelectFun_0"))->raise();
    runOptions_->offerTraceSchedule();
    schedule_->functionChanged();
}

void FormTester::mnuExit_Click() {
    if (refusedWhileBusy())
        return;
    Q_EMIT programEndRequested();
}

// Enter starts the offered function when its button may.
void FormTester::TextPing_Enter() {
    if (state_->selectedFunction == Activity::Trace)
        CommandTracert_Click();
    else if (state_->selectedFunction == Activity::Ping)
        CommandStart_Click();
}

void FormTester::TextPing_Change(const QString& text) {
    buttons_->button(QStringLiteral("CommandStart"))
        ->setToolTip(QStringLiteral("运行侦测测试'") + text + QStringLiteral("'."));
    buttons_->button(QStringLiteral("Command8"))
        ->setToolTip(QStringLiteral("快速扫描 ip 地址 '") + text + QStringLiteral("'. "));
}

bool FormTester::refusedWhileBusy() {
    if (!state_->activityBusy())
        return false;
    services_.prompts.message(BusyMessage, MessageIcon::Information, BusyTitle);
    return true;
}

void FormTester::closeEvent(QCloseEvent* event) {
    if (refusedWhileBusy()) {
        event->ignore();
        return;
    }
    SaveCurrentSettings();
    event->accept();
}

// A click on the window's background closes the jump list and the schedule editor.
void FormTester::mousePressEvent(QMouseEvent* event) {
    tracePage_->hideJumpList();
    schedule_->hideEditor();
    QMainWindow::mousePressEvent(event);
}

// Activation within the program: at start-up, after a modal dialog closes, and when the
// operator comes back from another window of the program. Coming back from another program is
// not an activation, so a click into a box of the window keeps its focus.
bool FormTester::event(QEvent* event) {
    if (event->type() == QEvent::WindowUnblocked)
        Form_Activate();
    return QMainWindow::event(event);
}

void FormTester::focusWindowChanged(QWindow* now) {
    const QWindow* before = lastFocusWindow_;
    lastFocusWindow_ = now;
    if (now == nullptr || now != windowHandle())
        return;
    if (before != nullptr || !activatedOnce_)
        Form_Activate();
    activatedOnce_ = true;
}

void FormTester::Form_Activate() {
    PlaceCentred(this);
    schedule_->hideEditor();
    targets_->resetSizeButtons();
    restFocus();
}

void FormTester::showPingPane() {
    pingPage_->showResults(regions_.picture3, regions_.pictureDOS);
}

void FormTester::restFocus() {
    text402_->setFocus(Qt::OtherFocusReason);
}

}  // namespace sondrel
