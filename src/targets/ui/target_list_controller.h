#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "common/run_state.h"
#include "targets/entry_editing.h"
#include "targets/target_request.h"
#include "targets/ui/target_list_panel.h"

class QLineEdit;
class QWidget;

namespace sondrel {

class LocalNetworkSource;
class MembersPopup;
class RunState;
class TargetList;
class TargetListPanel;
class UserPrompts;
class WidgetEntryDialogs;

// The target list in the main window: the list panel, the members popup and the entry dialogs
// over the target list and its editor. It keeps the selection summary in the manual target box
// and builds each start's target request from the selection, the current item and the pending
// manual targets.
class TargetListController : public QObject {
    Q_OBJECT
  public:
    struct Services {
        UserPrompts& prompts;
        LocalNetworkSource& network;
        RunState& state;
        QString dataFolder;  // ends in "/"
    };

    // The panel and the popup go into the window's client area; `textPing` is the manual target
    // box; the dialogs open over `window`.
    TargetListController(Services services, QWidget* client, QLineEdit* textPing, QWidget* window);
    ~TargetListController() override;

    TargetList& list() { return *list_; }
    EntryEditor& editor() { return *editor_; }
    ManualTargets& manual() { return manual_; }
    TargetListPanel* panel() const { return panel_; }
    MembersPopup* popup() const { return popup_; }

    void Fill_IP_List_2();
    void hidePopup();

    // Menu commands and the panel's buttons.
    void AddSingleEntry();
    void AddGroupEntry();
    void AddRangeEntry();
    void EditEntry();
    void DeleteEntries();
    void mnuScanLocalIP_Click();
    void mnuReset_Click();

    // Restores the normal panel size, as the restore button does.
    void restoreSize();
    // Activation of the window: the maximise button is offered, the sizes stay.
    void resetSizeButtons();
    // LeaveBusyState: the current entry is shown again as a click on it shows it.
    void refreshCurrentEntry();
    // The manual target box took or lost the focus.
    void manualBoxEntered();
    void manualBoxLeft(bool empty);

    // The targets of the next start, in the order a start takes them: a pending manual single
    // target, a pending manual group, the manual box when the list has no current item, the
    // selected entries, the current entry.
    TargetRequest targetRequest() const;
    // A start over the target request. The pending manual targets it consumed are gone
    // afterwards; a start that falls back on the current item selects it.
    using StartFn = std::function<StartResult(TargetRequest&)>;
    StartResult startFromSelection(const StartFn& start);

    // Command-line field 0: the list positions are selected, the last becomes current.
    void selectPositions(const QList<int>& positions);
    // The selected positions and the current item of the list.
    ListSelection selection() const;

  Q_SIGNALS:
    // An entry dialog asked for a ping test of what it held (a pending manual target is set).
    void pingTestRequested();
    // The range dialog asked for a scan of its range (the pending manual range is set).
    void scanRequested();
    // The focus is to come to rest away from the list.
    void focusRestRequested();

  private:
    void connectPanel();
    void listChanged();
    void ListIP_Click();
    void CheckReset_Click(bool checked);
    void memberClicked(const QString& member);
    void maximise();
    void UpdateSelectionSummary();
    void setCheckResetQuietly(bool checked);

    Services services_;
    QLineEdit* textPing_;
    ManualTargets manual_;
    std::unique_ptr<TargetList> list_;
    std::unique_ptr<WidgetEntryDialogs> dialogs_;
    std::unique_ptr<EntryEditor> editor_;
    TargetListPanel* panel_ = nullptr;
    MembersPopup* popup_ = nullptr;
    bool summaryGuard_ = false;  // CheckReset changed by the program, not the operator
};

}  // namespace sondrel
