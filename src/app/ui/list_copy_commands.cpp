#include "app/ui/list_copy_commands.h"

#include <QAction>

#include "app/settings.h"
#include "app/ui/console_page.h"
#include "app/ui/main_menu.h"
#include "common/clock.h"
#include "console/command_history.h"
#include "report/list_copies.h"
#include "report/ui/widget_file_dialogs.h"
#include "targets/target_list.h"
#include "targets/ui/target_list_controller.h"

namespace sondrel {

ListCopyCommands::ListCopyCommands(Parts parts, FileDialogs* dialogs, QObject* parent)
    : QObject(parent) {
    if (dialogs == nullptr) {
        ownDialogs_ = std::make_unique<WidgetFileDialogs>(&parts.window);
        dialogs = ownDialogs_.get();
    }
    Settings& settings = parts.settings;
    frame_ = std::make_unique<ExportFrame>(
        parts.prompts, *dialogs,
        ExportFrame::Folder{
            [&settings] { return settings.value(Setting::Path); },
            [&settings](const QString& folder) { settings.setValue(Setting::Path, folder); }});
    TargetListController& targets = parts.targets;
    ConsolePage& console = parts.console;
    Clock& clock = parts.clock;
    copies_ = std::make_unique<ListCopies>(
        *frame_,
        ListCopies::List{targets.list().filePath(), [&targets] { targets.Fill_IP_List_2(); }},
        ListCopies::List{console.history().filePath(), [&console] { console.reloadHistory(); }},
        [&clock] { return clock.now(); });
    const std::pair<const char*, void (ListCopies::*)()> items[] = {
        {"mnuExpImp_1", &ListCopies::ExportTargetList},
        {"mnuExpImp_2", &ListCopies::ImportTargetList},
        {"mnuExpImp_4", &ListCopies::ExportCommandHistory},
        {"mnuExpImp_5", &ListCopies::ImportCommandHistory}};
    for (const auto& [name, command] : items) {
        QAction* action = parts.menu.action(QString::fromLatin1(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this,
                [this, command = command] { (copies_.get()->*command)(); });
    }
}

ListCopyCommands::~ListCopyCommands() = default;

}  // namespace sondrel
