#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "report/export_frame.h"
#include "report/result_exports.h"

class QWidget;

namespace sondrel {

class ButtonRow;
class DialogRpt;
class MainMenu;
class PingTest;
class ResultsPane;
class RunState;
class ScanRun;
class Settings;
class TraceRun;
class UserPrompts;

// The export, open and report commands of the main window: CommandExport/mnuExport (F6),
// Command1/mnuOpen (F7), PingReport/mnuReport (Ctrl+R). The export folder is Default_Path.
class ExportCommands final : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        QWidget& window;
        MainMenu& menu;
        ButtonRow& buttons;
        ResultsPane& results;  // Picture2
        QWidget& scanPane;     // Picture3
        PingTest& test;
        TraceRun& trace;
        RunState& state;
        Settings& settings;
        UserPrompts& prompts;
    };
    ExportCommands(Parts parts, QObject* parent);
    ~ExportCommands() override;

    // Tests answer the dialogs themselves.
    void setFileDialogs(FileDialogs* dialogs);
    // The scan whose results the scan pane exports.
    void setScanRun(const ScanRun* scan) { scan_ = scan; }
    ResultExports& exports() { return *exports_; }
    // The shared export pieces as they are now (setFileDialogs makes them anew).
    ExportFrame& frame() { return *frame_; }
    DialogRpt* reportDialog();

    void CommandExport_Click();
    void OpenResultFile();
    void OpenReport();

  private:
    void makeFrame(FileDialogs& dialogs);

    Parts parts_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<ExportFrame> frame_;
    std::unique_ptr<ResultExports> exports_;
    QPointer<DialogRpt> report_;
    ExportSource source_ = ExportSource::None;
    const ScanRun* scan_ = nullptr;
};

}  // namespace sondrel
