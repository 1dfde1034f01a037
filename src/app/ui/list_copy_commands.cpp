#include "app/ui/list_copy_commands.h"

#include <QAction>

#include "app/ui/console_page.h"
#include "app/ui/export_commands.h"
#include "app/ui/main_menu.h"
#include "common/clock.h"
#include "console/command_history.h"
#include "report/list_copies.h"
#include "targets/target_list.h"
#include "targets/ui/target_list_controller.h"

namespace sondrel {

// Each command works through the export frame of the moment (tests may have put their own
// dialogs in).
ListCopyCommands::ListCopyCommands(Parts parts, QObject* parent) : QObject(parent) {
    const std::pair<const char*, void (ListCopies::*)()> items[] = {
        {"mnuExpImp_1", &ListCopies::ExportTargetList},
        {"mnuExpImp_2", &ListCopies::ImportTargetList},
        {"mnuExpImp_4", &ListCopies::ExportCommandHistory},
        {"mnuExpImp_5", &ListCopies::ImportCommandHistory}};
    for (const auto& [name, command] : items) {
        QAction* action = parts.menu.action(QString::fromLatin1(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [parts, command = command] {
            TargetListController& targets = parts.targets;
            ConsolePage& console = parts.console;
            Clock& clock = parts.clock;
            ListCopies copies(
                parts.exports.frame(),
                {targets.list().filePath(), [&targets] { targets.Fill_IP_List_2(); }},
                {console.history().filePath(), [&console] { console.reloadHistory(); }},
                [&clock] { return clock.now(); });
            (copies.*command)();
        });
    }
}

}  // namespace sondrel
