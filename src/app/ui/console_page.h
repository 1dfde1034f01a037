#pragma once

#include <QObject>
#include <memory>

#include "app/ui/page_controller.h"

class QWidget;

namespace sondrel {

class CommandHistory;
class ConsolePanel;
class MainMenu;
class TargetListController;
class UserPrompts;

// The console page: the pane `PictureDOS` over the lower band with the command history of the
// data folder, shown by `mnuDos` (F8) and `Command11`; the history menu `mnuDel`; the address
// pick list from the target list. Its start runs the command box in a console window; nothing
// of it runs inside the program, so there is nothing to stop.
class ConsolePage final : public QObject, public PageController {
    Q_OBJECT
  public:
    struct Services {
        UserPrompts& prompts;
        QString dataFolder;
        QString programFolder;  // first on the PATH of the console windows
    };
    ConsolePage(Services services, TargetListController& targets, MainMenu& menu, QWidget* client);
    ~ConsolePage() override;

    void start() override;
    void stop() override {}

    // mnuDos: the pane at its place in front, the members popup hidden.
    void showPane();
    // The history file read again into the pane (after a copy in).
    void reloadHistory();
    ConsolePanel& panel() { return *panel_; }
    CommandHistory& history() { return *history_; }

  Q_SIGNALS:
    // "添加一个 IP / URL" picked from the address list.
    void addEntryRequested();

  private:
    void connectHistoryMenu(MainMenu& menu, QWidget* client);
    void addressPicked(const QString& item);
    void changed(bool rewritten);

    Services services_;
    TargetListController& targets_;
    std::unique_ptr<CommandHistory> history_;
    ConsolePanel* panel_ = nullptr;
};

}  // namespace sondrel
