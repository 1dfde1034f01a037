#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "common/user_prompts.h"

namespace sondrel {

class LocalNetworkSource;

inline const QString TargetListFileName = QStringLiteral("Quibbet_DB1.txt");
inline const QString OldTargetListFileName = QStringLiteral("Quibbet_DB.txt");
// The two public host names of a new list. They are written into the list, never probed by
// the program on its own.
inline const QString DefaultPublicHost1 = QStringLiteral("www.debian.org");
inline const QString DefaultPublicHost2 = QStringLiteral("www.kernel.org");
// The last two items of the console's pick list.
inline const QString PickListSeparator = QStringLiteral("----------------------------");
inline const QString PickListAddItem = QStringLiteral("添加一个 IP / URL");
// The label of load errors, after the error's description.
inline const QString FillListContext = QStringLiteral("    Fill_IP_List_2");

// The target entries of the list file, in display order, and the items of the views built
// from them. Position i of IPEntries() is item i of the target list view.
//
// The file holds one entry line per line; the first empty line (every writer ends the file
// with " ") ends the list, lines beginning with "=" are skipped. A missing file is converted
// from the old layout or built from the local network.
class TargetList : public QObject {
    Q_OBJECT
  public:
    TargetList(QString dataFolder, LocalNetworkSource& network, UserPrompts& prompts,
               QObject* parent = nullptr);

    QString filePath() const;
    const QStringList& IPEntries() const { return entries_; }
    int IPEntryCount() const { return int(entries_.size()); }
    // The position of the entry line, or -1.
    int indexOf(const QString& entryLine) const { return int(entries_.indexOf(entryLine)); }

    // Reloads the file (writing it first when it is missing) and emits listChanged().
    void Fill_IP_List_2();

    // Replaces the file by the lines and the terminator " " in one step, then reloads. A write
    // that fails leaves the old file and the entries as they were and returns false with the
    // reason. Each line is written as the load reads it back: line breaks inside it are
    // removed (they would split it), spaces around it trimmed, blank lines left out (they
    // would end the list).
    bool RewriteList(const QStringList& lines, QString* error = nullptr);

    // The items of the target list view: each entry's title.
    QStringList titles() const;
    // The trace target list: single and group entries, title + 50 spaces + position.
    QStringList traceItems() const;
    // The console's pick list: the addresses of the single entries, the separator and the
    // item that opens the add dialog.
    QStringList pickItems() const;

  Q_SIGNALS:
    void listChanged();

  private:
    bool ensureFileExists();
    void load();

    QString dataFolder_;
    LocalNetworkSource& network_;
    UserPrompts& prompts_;
    QStringList entries_;
};

// Sorts entry lines by their first 30 characters, compared by character code: single entries
// first, then groups, then ranges, each by title.
void SortIPEntries(QStringList& entries);

// Writes the new list file from the old layout (singles "A" + address, no title) when only
// the old file exists. The old file stays. False when nothing was converted.
bool MigrateOldListFile(const QString& dataFolder);

// The entries of a new list: the gateway (else the local address), the DNS servers, the two
// public host names, the subnet entries. Empty texts are left out.
QStringList DefaultEntries(LocalNetworkSource& network);

// The entry position written at the end of a trace list item; -1 when there is none.
int TraceItemPosition(const QString& item);

// What a click on an item of the console's pick list does.
struct PickedAddress {
    enum class Action { HidePickList, OpenAddDialog, SetCommand };
    Action action = Action::HidePickList;
    QString command;  // the new command text, for SetCommand
};

// The separator hides the list, the last item opens the add dialog; an address replaces the
// dotted token of the command or is appended to a command without a dot.
PickedAddress InsertPickedAddress(const QString& commandText, const QString& item);

}  // namespace sondrel
