#pragma once

#include <QObject>

namespace sondrel {

class Clock;
class ConsolePage;
class ExportCommands;
class MainMenu;
class TargetListController;

// The list copies of the file menu (`mnuExpImp` items 1, 2, 4 and 5): the target list and the
// command history copied out and in through the dialogs and the remembered folder of the
// exports.
class ListCopyCommands : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        MainMenu& menu;
        ExportCommands& exports;
        TargetListController& targets;
        ConsolePage& console;
        Clock& clock;
    };
    ListCopyCommands(Parts parts, QObject* parent);
};

}  // namespace sondrel
