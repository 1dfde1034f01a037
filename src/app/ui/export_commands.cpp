#include "app/ui/export_commands.h"

#include <QAction>
#include <QToolButton>

#include "app/settings.h"
#include "app/ui/button_row.h"
#include "app/ui/main_menu.h"
#include "common/run_state.h"
#include "engine/ping_test.h"
#include "engine/ui/results_pane.h"
#include "report/ping_export.h"
#include "report/scan_export.h"
#include "report/trace_export.h"
#include "report/ui/dialog_rpt.h"
#include "report/ui/widget_file_dialogs.h"
#include "scan/scan_run.h"
#include "trace/trace_run.h"

namespace sondrel {

ExportCommands::ExportCommands(Parts parts, QObject* parent)
    : QObject(parent),
      parts_(parts),
      ownDialogs_(std::make_unique<WidgetFileDialogs>(&parts.window)) {
    makeFrame(*ownDialogs_);
    for (const char* name : {"CommandExport", "Command1"})
        parts_.buttons.setAvailable(QString::fromLatin1(name), true);
    connect(parts_.buttons.button(QStringLiteral("CommandExport")), &QToolButton::clicked, this,
            &ExportCommands::CommandExport_Click);
    connect(parts_.buttons.button(QStringLiteral("Command1")), &QToolButton::clicked, this,
            &ExportCommands::OpenResultFile);
    connect(parts_.menu.action(QStringLiteral("mnuExport")), &QAction::triggered, this,
            &ExportCommands::CommandExport_Click);
    connect(parts_.menu.action(QStringLiteral("mnuOpen")), &QAction::triggered, this,
            &ExportCommands::OpenResultFile);
    connect(parts_.menu.action(QStringLiteral("mnuReport")), &QAction::triggered, this,
            &ExportCommands::OpenReport);
    connect(&parts_.results, &ResultsPane::reportRequested, this, &ExportCommands::OpenReport);
}

ExportCommands::~ExportCommands() {
    delete report_.data();
}

// The frame and the exporters of the ping test, the trace and the scan.
void ExportCommands::makeFrame(FileDialogs& dialogs) {
    Settings& settings = parts_.settings;
    frame_ = std::make_unique<ExportFrame>(
        parts_.prompts, dialogs,
        ExportFrame::Folder{
            [&settings] { return settings.value(Setting::Path); },
            [&settings](const QString& folder) { settings.setValue(Setting::Path, folder); }});
    exports_ = std::make_unique<ResultExports>(*frame_);
    exports_->setExporter(ExportSource::Ping, [this](ExportFormat format) {
        ExportPingResults(*frame_, parts_.test.results(), format);
    });
    exports_->setExporter(ExportSource::Trace, [this](ExportFormat format) {
        ExportTraceResults(*frame_, parts_.trace.records(), parts_.trace.resultsAvailable(),
                           format);
    });
    exports_->setExporter(ExportSource::Scan, [this](ExportFormat format) {
        static const ScanTable none;
        static const QStringList noTitles;
        const ScanExportData data =
            scan_ ? ScanExportData{scan_->ScanResults(), scan_->labelTotal(), scan_->labelActive(),
                                   scan_->labelInactive(), scan_->targetTitles()}
                  : ScanExportData{none, {}, {}, {}, noTitles};
        ExportScanResults(*frame_, data, format, QDateTime::currentDateTime());
    });
    delete report_.data();
}

void ExportCommands::setFileDialogs(FileDialogs* dialogs) {
    makeFrame(dialogs != nullptr ? *dialogs : *ownDialogs_);
}

// The source follows the visible page: the results pane exports what ran last there, the
// scan pane its scan.
void ExportCommands::CommandExport_Click() {
    if (parts_.results.isVisible()) {
        if (parts_.state.runningActivity == Activity::Ping)
            source_ = ExportSource::Ping;
        else if (parts_.state.runningActivity == Activity::Trace)
            source_ = ExportSource::Trace;
    } else if (parts_.scanPane.isVisible()) {
        source_ = ExportSource::Scan;
    }
    exports_->ExportResults(source_);
}

void ExportCommands::OpenResultFile() {
    frame_->OpenResultFile();
}

DialogRpt* ExportCommands::reportDialog() {
    if (report_.isNull())
        report_ =
            new DialogRpt({[this] { return parts_.test.results(); }, *frame_}, &parts_.window);
    return report_;
}

void ExportCommands::OpenReport() {
    reportDialog()->exec();
}

}  // namespace sondrel
