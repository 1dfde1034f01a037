#include "app/ui/scan_page.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

#include "app/ui/button_row.h"
#include "app/ui/main_menu.h"
#include "app/ui/run_options.h"
#include "common/local_address.h"
#include "common/ui/twips.h"
#include "console/class_dos.h"
#include "scan/local_interface.h"
#include "scan/scan_report_socket.h"
#include "scan/scan_run.h"
#include "scan/scanner_program.h"
#include "scan/ui/scan_pane.h"
#include "targets/entry_editing.h"
#include "targets/ui/target_list_controller.h"

namespace sondrel {

namespace {

const QString LoadContext = QStringLiteral("   窗口_加载");

// Where the pop-up menu of the new group opens in the window, twips.
constexpr int AddGroupMenuLeft = 7680;
constexpr int AddGroupMenuTop = 5920;

// Runs one command through a fresh command runner, its chunks handed to `receive`.
void RunThroughClassDos(UserPrompts& prompts, const QString& line,
                        const std::function<void(const QString&)>& receive) {
    ClassDos objDOS(prompts);
    QObject::connect(&objDOS, &ClassDos::ReceiveOutputs, &objDOS,
                     [&receive](QString& chunk) { receive(chunk); });
    objDOS.setCommandLine(line);
    objDOS.ExecuteCommand(QString());
}

}  // namespace

ScanPage::ScanPage(Services services, Parts parts, QObject* parent)
    : QObject(parent), services_(std::move(services)), parts_(parts) {
    setObjectName(QStringLiteral("ScanPage"));
    ScanRun::Services run{services_, {}, {}, {}};
    UserPrompts* prompts = &services_.prompts;
    run.runCommand = [prompts](const QString& line,
                               const std::function<void(const QString&)>& receive) {
        RunThroughClassDos(*prompts, line, receive);
    };
    run.localAddress = [] { return FirstLocalIpv4Address(); };
    run.interfaceOfAddress = [](const QString& address) {
        return InterfaceHoldingAddress(address);
    };
    run_ =
        std::make_unique<ScanRun>(run, services_.state, services_.dataFolder + ScannerProgramName,
                                  QString::number(QCoreApplication::applicationPid()), QString());
    socket_ = std::make_unique<ScanReportSocket>();
    parts_.buttons.setAvailable(QStringLiteral("Command8"), true);
    connectRun();
    connectPane();
    connectMenu();
    load();
}

// The socket closes with the page, when the window unloads.
ScanPage::~ScanPage() = default;

void ScanPage::load() {
    QString error;
    if (const std::optional<QString> worker = ExtractScannerProgram(
            services_.dataFolder, QCoreApplication::applicationDirPath(), &error))
        run_->setWorkerProgram(*worker);
    // Without a worker program a scan start says so; the window loads on.
    const QString folder = ScanReportDirectory(services_.dataFolder);
    run_->setReportDirectory(folder);
    if (!socket_->open(folder, QString::number(QCoreApplication::applicationPid()), &error))
        services_.prompts.message(error + LoadContext, MessageIcon::Exclamation);
    connect(socket_.get(), &ScanReportSocket::reportReceived, run_.get(),
            &ScanRun::ReceiveScanReport);
}

// The range dialog's range goes first; the pending manual single target and group stay.
void ScanPage::start() {
    ManualTargets& manual = parts_.targets.manual();
    const QString range = manual.range;
    manual.range.clear();
    if (!range.isEmpty()) {
        run_->StartScan(parts_.targets.targetRequest(), range);
        return;
    }
    parts_.targets.startFromSelection(
        [this](TargetRequest& request) { return run_->StartScan(request); });
}

// The stop is the scan's only while the scan pane is in front; with the results pane in front
// it is taken for the stop of a ping test, which leaves the scan running.
void ScanPage::stop() {
    if (parts_.results.isVisible())
        return;
    if (run_->scanning() || services_.state.activityBusy())
        run_->StopScan();
}

void ScanPage::connectRun() {
    ScanRun* run = run_.get();
    connect(run, &ScanRun::pageShown, this, [this] {
        showScanPane();
        parts_.runOptions.selectStartNow();
        parts_.title.clear();
    });
    connect(run, &ScanRun::rowsChanged, this, [this] { parts_.pane.showRows(run_->rows()); });
    connect(run, &ScanRun::textsChanged, this, [this] {
        parts_.pane.showTexts(run_->text2(), run_->labelTotal(), run_->labelActive(),
                              run_->labelInactive(), run_->separator());
    });
    connect(run, &ScanRun::scrollChanged, &parts_.pane, &ScanPane::setScroll);
    connect(run, &ScanRun::viewButtonsShown, &parts_.pane, &ScanPane::setViewButtonsShown);
    parts_.pane.showRows(run->rows());
}

void ScanPage::connectPane() {
    ScanPane* pane = &parts_.pane;
    connect(pane, &ScanPane::scrolled, run_.get(), &ScanRun::VScroll2_Change);
    connect(pane, &ScanPane::viewRequested, this, [this](const QString& filter) {
        parts_.focusRest.setFocus(Qt::OtherFocusReason);
        run_->ShowScanView(filter);
    });
    connect(pane, &ScanPane::addGroupRequested, this, [this] {
        QWidget* window = parts_.results.parentWidget();
        const QPoint at(Twips(AddGroupMenuLeft), Twips(AddGroupMenuTop));
        parts_.menu.menu(QStringLiteral("mnuAddG2"))->popup(window->mapToGlobal(at));
    });
    connect(pane, &ScanPane::minimiseClicked, this, &ScanPage::showResultsPane);
    auto* image2 = new QToolButton(&parts_.results);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setToolTip(QStringLiteral("最小化平窗口"));
    image2->setIcon(image2->style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    image2->setAutoRaise(true);
    image2->setGeometry(TwipsRect(11370, 30, 300, 300));
    connect(image2, &QToolButton::clicked, this, &ScanPage::showScanPane);
}

void ScanPage::connectMenu() {
    const std::pair<const char*, const char*> items[] = {
        {"mnuAddG2Active", "活动"}, {"mnuAddG2Inactive", "非活动"}, {"mnuAddG2All", "全部"}};
    for (const auto& [name, filter] : items) {
        const QString f = QString::fromUtf8(filter);
        connect(parts_.menu.action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, f] { addScanResultsAsGroup(f); });
    }
}

void ScanPage::showScanPane() {
    parts_.targets.hidePopup();
    parts_.results.hide();
    parts_.consolePane.hide();
    parts_.pane.show();
    parts_.pane.raise();
}

void ScanPage::showResultsPane() {
    parts_.targets.hidePopup();
    parts_.pane.hide();
    parts_.consolePane.hide();
    parts_.results.show();
}

void ScanPage::addScanResultsAsGroup(const QString& filter) {
    QList<ScannedAddress> rows;
    for (const ScanRecord& record : run_->ScanResults())
        rows.append({record.Address, record.PingResult.trimmed(), record.HostName});
    parts_.targets.editor().AddScanResultsAsGroup(rows, filter);
}

}  // namespace sondrel
