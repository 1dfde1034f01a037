#include "targets/ui/target_list_controller.h"

#include <QCheckBox>
#include <QLineEdit>

#include "common/run_state.h"
#include "targets/target_list.h"
#include "targets/ui/members_popup.h"
#include "targets/ui/target_list_panel.h"
#include "targets/ui/widget_entry_dialogs.h"

namespace sondrel {

TargetListController::TargetListController(Services services, QWidget* client, QLineEdit* textPing,
                                           QWidget* window)
    : services_(std::move(services)),
      textPing_(textPing),
      list_(
          std::make_unique<TargetList>(services_.dataFolder, services_.network, services_.prompts)),
      dialogs_(std::make_unique<WidgetEntryDialogs>(window)) {
    editor_ = std::make_unique<EntryEditor>(*list_, *dialogs_, services_.prompts, manual_);
    panel_ = new TargetListPanel(client);
    popup_ = new MembersPopup(client);
    connectPanel();
}

TargetListController::~TargetListController() = default;

void TargetListController::connectPanel() {
    connect(list_.get(), &TargetList::listChanged, this, &TargetListController::listChanged);
    connect(editor_.get(), &EntryEditor::currentItemChanged, this, [this](int position) {
        panel_->setCurrent(position);
        UpdateSelectionSummary();
    });
    connect(editor_.get(), &EntryEditor::runRequested, this, [this](EntryKind kind) {
        if (kind == EntryKind::Range)
            Q_EMIT scanRequested();
        else
            Q_EMIT pingTestRequested();
    });
    connect(panel_->list(), &TargetListView::operatorClicked, this,
            &TargetListController::ListIP_Click);
    connect(panel_->checkReset(), &QCheckBox::clicked, this,
            &TargetListController::CheckReset_Click);
    connect(panel_, &TargetListPanel::commandAddClicked, this, [this](int item) {
        switch (item) {
            case 0:
                return AddSingleEntry();
            case 1:
                return AddGroupEntry();
            case 2:
                return AddRangeEntry();
            case 3:
                return EditEntry();
            default:
                return DeleteEntries();
        }
    });
    connect(panel_, &TargetListPanel::maximiseClicked, this, &TargetListController::maximise);
    connect(panel_, &TargetListPanel::restoreClicked, this, &TargetListController::restoreSize);
    connect(popup_, &MembersPopup::memberClicked, this, &TargetListController::memberClicked);
}

void TargetListController::Fill_IP_List_2() {
    list_->Fill_IP_List_2();
}

// A reload drops every selection: the select-all box follows, and the popup goes.
void TargetListController::listChanged() {
    panel_->setTitles(list_->titles());
    setCheckResetQuietly(false);
    hidePopup();
}

void TargetListController::hidePopup() {
    popup_->hide();
}

void TargetListController::AddSingleEntry() {
    editor_->AddSingleEntry();
}

void TargetListController::AddGroupEntry() {
    editor_->AddGroupEntry();
}

void TargetListController::AddRangeEntry() {
    editor_->AddRangeEntry();
}

void TargetListController::EditEntry() {
    editor_->EditEntry(panel_->selection().current);
}

void TargetListController::DeleteEntries() {
    editor_->DeleteEntries(panel_->selection());
}

void TargetListController::mnuScanLocalIP_Click() {
    editor_->ScanLocalSubnet(services_.network);
}

void TargetListController::mnuReset_Click() {
    summaryGuard_ = true;
    panel_->checkReset()->setChecked(false);
    panel_->selectAll(false);
    summaryGuard_ = false;
    UpdateSelectionSummary();
}

void TargetListController::ListIP_Click() {
    if (!panel_->currentText().isEmpty() && !panel_->maximised() &&
        !services_.state.activityBusy()) {
        const int current = panel_->selection().current;
        popup_->showDetails(ShowEntryDetails(list_->IPEntries().value(current)));
    }
    UpdateSelectionSummary();
}

void TargetListController::UpdateSelectionSummary() {
    const ListSelection selection = panel_->selection();
    const SelectionSummary summary =
        sondrel::UpdateSelectionSummary(int(selection.selected.size()), panel_->currentText());
    summaryGuard_ = true;
    textPing_->setText(summary.textPing);
    panel_->checkReset()->setChecked(summary.checkReset);
    summaryGuard_ = false;
}

void TargetListController::setCheckResetQuietly(bool checked) {
    summaryGuard_ = true;
    panel_->checkReset()->setChecked(checked);
    summaryGuard_ = false;
}

// Selecting everything also makes an item current when none is, so that the next start runs
// on the selection and not on the manual box.
void TargetListController::CheckReset_Click(bool checked) {
    if (summaryGuard_)
        return;
    panel_->selectAll(checked);
    if (checked && panel_->selection().current < 0 && panel_->list()->count() > 0)
        panel_->setCurrent(0);
    hidePopup();
    Q_EMIT focusRestRequested();
    UpdateSelectionSummary();
}

void TargetListController::memberClicked(const QString& member) {
    const QString target =
        PickedMemberTarget(popup_->shownDetails(), member, panel_->checkReset()->isChecked());
    if (target.isEmpty())
        return;
    textPing_->setText(target);
    panel_->selectAll(false);
    panel_->setCurrent(-1);
}

void TargetListController::maximise() {
    hidePopup();
    panel_->maximise();
}

void TargetListController::restoreSize() {
    panel_->restore();
}

void TargetListController::resetSizeButtons() {
    panel_->resetSizeButtons();
}

void TargetListController::refreshCurrentEntry() {
    if (panel_->selection().current >= 0)
        ListIP_Click();
}

// Typing in the box replaces the list selection by a manual target.
void TargetListController::manualBoxEntered() {
    panel_->selectAll(false);
    panel_->setCurrent(-1);
    setCheckResetQuietly(false);
    hidePopup();
}

void TargetListController::manualBoxLeft(bool empty) {
    if (empty && panel_->list()->count() > 0)
        panel_->setCurrent(0);
}

TargetRequest TargetListController::targetRequest() const {
    const ListSelection selection = panel_->selection();
    const QStringList& entries = list_->IPEntries();
    TargetRequest request;
    request.manualSingle = manual_.single;
    request.manualGroup = manual_.group;
    request.hasCurrentItem = selection.current >= 0;
    request.textPing = textPing_->text();
    for (int position : selection.selected)
        request.selectedEntries.append(entries.value(position));
    request.currentEntry = entries.value(selection.current);
    request.currentItemText = panel_->currentText();
    return request;
}

StartResult TargetListController::startFromSelection(const StartFn& start) {
    TargetRequest request = targetRequest();
    const bool onCurrentItem = request.manualSingle.isEmpty() && request.manualGroup.isEmpty() &&
                               request.hasCurrentItem && request.selectedEntries.isEmpty() &&
                               !request.currentItemText.isEmpty();
    const StartResult result = start(request);
    manual_.single = request.manualSingle;
    manual_.group = request.manualGroup;
    if (result == StartResult::Starting && onCurrentItem) {
        const int current = panel_->selection().current;
        panel_->list()->item(current)->setSelected(true);
    }
    return result;
}

void TargetListController::selectPositions(const QList<int>& positions) {
    for (int position : positions) {
        if (QListWidgetItem* item = panel_->list()->item(position))
            item->setSelected(true);
    }
    if (!positions.isEmpty())
        panel_->setCurrent(positions.last());
}

ListSelection TargetListController::selection() const {
    return panel_->selection();
}

}  // namespace sondrel
