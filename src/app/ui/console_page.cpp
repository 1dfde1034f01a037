#include "app/ui/console_page.h"

#include <QAction>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QUrl>
#include <functional>

#include "app/ui/main_menu.h"
#include "common/ui/twips.h"
#include "console/command_history.h"
#include "console/ui/console_panel.h"
#include "targets/target_list.h"
#include "targets/ui/target_list_controller.h"

namespace sondrel {

namespace {

// The pane's place in the window's layout, and where mnuDos shows it.
constexpr int PaneLeft = 5450;
constexpr int LayoutTop = 2800;
constexpr int PaneTop = 2820;
// Where `CommandDOS_5` drops the history menu, in the window's client area.
constexpr int HistoryMenuX = 7210;
constexpr int HistoryMenuY = 4080;
constexpr int KeptCounts[] = {10, 20, 30, 50, 100};

}  // namespace

ConsolePage::ConsolePage(Services services, TargetListController& targets, MainMenu& menu,
                         QWidget* client)
    : QObject(client),
      services_(std::move(services)),
      targets_(targets),
      history_(std::make_unique<CommandHistory>(services_.dataFolder, services_.prompts)) {
    panel_ = new ConsolePanel(*history_, services_.prompts, services_.programFolder, client);
    panel_->move(Twips(PaneLeft), Twips(LayoutTop));
    panel_->hide();
    history_->LoadCommandHistory();
    panel_->showHistory();
    const auto fillPickList = [this] { panel_->setPickItems(targets_.list().pickItems()); };
    connect(&targets_.list(), &TargetList::listChanged, this, fillPickList);
    fillPickList();
    connect(panel_, &ConsolePanel::addressPicked, this, &ConsolePage::addressPicked);
    connectHistoryMenu(menu, client);
    for (const char* name : {"mnuDos", "mnuDeleteDos"})
        menu.action(QString::fromLatin1(name))->setEnabled(true);
    connect(menu.action(QStringLiteral("mnuDos")), &QAction::triggered, this,
            &ConsolePage::showPane);
}

ConsolePage::~ConsolePage() = default;

void ConsolePage::start() {
    panel_->Dos_Run();
}

void ConsolePage::showPane() {
    targets_.hidePopup();
    panel_->move(Twips(PaneLeft), Twips(PaneTop));
    panel_->show();
    panel_->raise();
}

// The items of `mnuDel` (also under the tools menu) and `CommandDOS_5` dropping them down.
void ConsolePage::connectHistoryMenu(MainMenu& menu, QWidget* client) {
    CommandHistory* h = history_.get();
    const auto on = [this, &menu](const QString& name, std::function<bool()> act) {
        QAction* action = menu.action(name);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, act] { changed(act()); });
    };
    on(QStringLiteral("mnuDel_1"), [h] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(h->filePath()));
        return false;
    });
    on(QStringLiteral("mnuDel_2"), [h] {
        h->LoadCommandHistory();
        return true;
    });
    on(QStringLiteral("mnuDel_4"),
       [this, h] { return h->DeleteSelectedHistory(panel_->selectedHistory()); });
    for (int i = 0; i < 5; ++i)
        on(QStringLiteral("mnuDel_%1").arg(6 + i),
           [h, i] { return h->KeepLastHistory(KeptCounts[i]); });
    on(QStringLiteral("mnuDel_12"), [h] { return h->ClearHistory(); });
    QMenu* historyMenu = menu.menu(QStringLiteral("mnuDeleteDos"));
    connect(panel_, &ConsolePanel::historyMenuRequested, this, [client, historyMenu] {
        historyMenu->popup(client->mapToGlobal(QPoint(Twips(HistoryMenuX), Twips(HistoryMenuY))));
    });
}

void ConsolePage::reloadHistory() {
    history_->LoadCommandHistory();
    panel_->showHistory();
}

void ConsolePage::changed(bool rewritten) {
    if (rewritten)
        panel_->showHistory();
}

void ConsolePage::addressPicked(const QString& item) {
    const PickedAddress picked = InsertPickedAddress(panel_->commandBox()->text(), item);
    if (picked.action == PickedAddress::Action::OpenAddDialog)
        Q_EMIT addEntryRequested();
    else if (picked.action == PickedAddress::Action::SetCommand)
        panel_->takeCommand(picked.command);
}

}  // namespace sondrel
