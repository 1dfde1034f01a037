#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "app/ui/page_controller.h"
#include "common/run_services.h"

class QLabel;
class QMenu;
class QWidget;

namespace sondrel {

class ButtonRow;
class Clock;
class MainMenu;
class ProcessRunner;
class Resolver;
class RunOptions;
class RunState;
class ScanPane;
class ScanReportSocket;
class ScanRun;
class TargetListController;
class UserPrompts;

// The address scan page: the scan of the selection, the manual box or the range dialog's range,
// its rows and totals in the scan pane, the views and the new group from its results, the switch
// between the scan pane and the results pane, and the report socket that is open while the
// window lives.
class ScanPage final : public QObject, public PageController {
    Q_OBJECT
  public:
    struct Services : RunServices {
        RunState& state;
        QString dataFolder;  // ends in "/"
    };
    struct Parts {
        TargetListController& targets;
        ScanPane& pane;        // Picture3
        QWidget& results;      // Picture2
        QWidget& consolePane;  // PictureDOS
        QLabel& title;         // item 0 of LabelTittle
        ButtonRow& buttons;
        RunOptions& runOptions;
        MainMenu& menu;
        QWidget& focusRest;  // Text402
    };
    ScanPage(Services services, Parts parts, QObject* parent);
    ~ScanPage() override;

    void start() override;
    void stop() override;

    ScanRun& run() { return *run_; }
    ScanReportSocket& reportSocket() { return *socket_; }

  private:
    // The load: the worker program into the data folder, the report socket opened.
    void load();
    void connectRun();
    void connectPane();
    void connectMenu();
    void showScanPane();
    void showResultsPane();
    void addScanResultsAsGroup(const QString& filter);

    Services services_;
    Parts parts_;
    std::unique_ptr<ScanRun> run_;
    std::unique_ptr<ScanReportSocket> socket_;
};

}  // namespace sondrel
