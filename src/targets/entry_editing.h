#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "common/user_prompts.h"
#include "targets/entry_forms.h"

namespace sondrel {

class LocalNetworkSource;
class TargetList;

// One row of the last address scan as a new group takes it: the status is empty while not
// reported, "无效" without an answer, else the time.
struct ScannedAddress {
    QString address;
    QString status;
    QString hostName;
};

// The member text of the rows that pass `filter`: address + " (" + host name + ")" each, the
// " ()" of a row without a name removed, joined by CR LF.
QString ScanGroupMembers(const QList<ScannedAddress>& rows, const QString& filter);

// Shows the entry dialogs. Each call shows the dialog over the form, modally, until the
// operator leaves it or the form has a result (EntryForm::result()); a dialog left without a
// result counts as closed. The window implements it with widgets, tests with scripts.
class EntryDialogs {
  public:
    virtual ~EntryDialogs() = default;
    virtual void execSingle(SingleEntryForm& form) = 0;
    virtual void execGroup(GroupEntryForm& form) = 0;
    virtual void execRange(RangeEntryForm& form) = 0;
};

// The selection of the target list view: its current item (-1 for none) and the selected
// positions.
struct ListSelection {
    int current = -1;
    QList<int> selected;
};

// Adding, editing and deleting target entries. Each operation runs its dialog in a loop
// until the operator leaves it; every accepted entry rewrites the list file and reloads it.
class EntryEditor : public QObject {
    Q_OBJECT
  public:
    EntryEditor(TargetList& list, EntryDialogs& dialogs, UserPrompts& prompts,
                ManualTargets& manual, QObject* parent = nullptr);

    SingleEntryForm& singleForm() { return single_; }
    GroupEntryForm& groupForm() { return group_; }
    RangeEntryForm& rangeForm() { return range_; }
    // What the next showing of a dialog is handed (pre-fills are set here).
    EntryExchange& exchange() { return exchange_; }

    void AddSingleEntry();
    void AddGroupEntry();
    void AddRangeEntry();
    // Edits the entry at the current position; nothing without one.
    void EditEntry(int current);
    void DeleteEntries(const ListSelection& selection);
    // Opens the add-range dialog with the whole local subnet, p.0 to p.255; without a local
    // address it only says that no local network was found.
    void ScanLocalSubnet(LocalNetworkSource& network);
    // Opens the group dialog with the scanned addresses that pass `filter` ("全部", "活动" or
    // "非活动") as its members.
    void AddScanResultsAsGroup(const QList<ScannedAddress>& rows, const QString& filter);

  Q_SIGNALS:
    // The item at this position becomes the current one of the list view (-1: none).
    void currentItemChanged(int position);
    // A dialog asked to test what it held: the pending manual target of that kind is set.
    // Single and group start a ping test, a range the scan.
    void runRequested(sondrel::EntryKind kind);

  private:
    void addLoop(EntryKind kind);
    EntryResult showDialog(EntryKind kind);
    bool acceptNewEntry(EntryKind kind, const EntryResult& result);
    bool saveEditedEntry(EntryKind kind, int position, const EntryResult& result);
    bool rewrite(const QStringList& lines, const QString& context, MessageIcon icon);
    bool titleTaken(const QString& title, int skippedPosition) const;
    void finishDialog(EntryKind kind, const EntryResult& result);

    TargetList& list_;
    EntryDialogs& dialogs_;
    UserPrompts& prompts_;
    SingleEntryForm single_;
    GroupEntryForm group_;
    RangeEntryForm range_;
    EntryExchange exchange_;
};

// The title a returned entry is stored under: a single entry's text before its first comma;
// an empty group or range title becomes "IP_群组" or "IP_区域".
QString StoredTitle(EntryKind kind, const EntryResult& result);
// The entry line of a returned entry: "A" + text, "B" + title + "," + members, "C" + title
// + "," + start + "," + end.
QString NewEntryLine(EntryKind kind, const EntryResult& result);

// --- the list view's selection and its members popup -----------------------------------------

struct SelectionSummary {
    QString textPing;  // the manual target box
    bool checkReset = false;
};

// n selected entries show "己选定" + n + "项目" and check the select-all box; none show the
// current item's text and clear it.
SelectionSummary UpdateSelectionSummary(int selectedCount, const QString& currentItemText);

// The members popup of a group or range entry.
struct EntryDetails {
    static constexpr int LeftTwips = 180;
    static constexpr int TopTwips = 2816;
    bool shown = false;  // false: a single entry hides the popup
    EntryKind kind = EntryKind::Single;
    QString kindCaption;
    QString title;
    QStringList members;
    int heightTwips = 0;
};

EntryDetails ShowEntryDetails(const QString& entryLine);

// Clicking a member of the popup: the member's host part becomes the manual target, when the
// popup shows a group and the select-all box is clear; else empty (nothing happens).
QString PickedMemberTarget(const EntryDetails& shown, const QString& member,
                           bool checkResetChecked);

}  // namespace sondrel
