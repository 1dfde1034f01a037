#pragma once

#include <QObject>
#include <memory>

class QWidget;

namespace sondrel {

class Clock;
class ConsolePage;
class ExportFrame;
class FileDialogs;
class ListCopies;
class MainMenu;
class Settings;
class TargetListController;
class UserPrompts;

// The list copies of the file menu (`mnuExpImp` items 1, 2, 4 and 5): the target list and the
// command history copied out and in through the export dialogs.
class ListCopyCommands : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        QWidget& window;
        MainMenu& menu;
        TargetListController& targets;
        ConsolePage& console;
        Settings& settings;
        UserPrompts& prompts;
        Clock& clock;
    };
    // `dialogs` null: the window's own file dialogs.
    ListCopyCommands(Parts parts, FileDialogs* dialogs, QObject* parent);
    ~ListCopyCommands() override;

  private:
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<ExportFrame> frame_;
    std::unique_ptr<ListCopies> copies_;
};

}  // namespace sondrel
