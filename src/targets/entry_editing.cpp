#include "targets/entry_editing.h"

#include <QLatin1Char>
#include <algorithm>

#include "common/text_file.h"
#include "targets/local_network.h"
#include "targets/target_expansion.h"
#include "targets/target_list.h"

namespace sondrel {

namespace {

constexpr int TitlesInDeleteQuestion = 9;
constexpr int MemberRowTwips = 190;
constexpr int GroupPanelBaseTwips = 1200;
constexpr int GroupPanelMaxTwips = 5405;
constexpr int RangePanelTwips = 1700;

QString AddContext(EntryKind kind) {
    switch (kind) {
        case EntryKind::Single:
            return QStringLiteral("    添加单一 IP");
        case EntryKind::Group:
            return QStringLiteral("    添加 IP 组群");
        case EntryKind::Range:
            break;
    }
    return QStringLiteral("    添加_IP_范围");
}

QString SameTitleMessage(const QString& title) {
    return QStringLiteral("相同的标题") + title + QStringLiteral("' 已存在。");
}

bool EntryKindOf(const QString& line, EntryKind* kind) {
    if (line.startsWith(QLatin1Char('A')))
        *kind = EntryKind::Single;
    else if (line.startsWith(QLatin1Char('B')))
        *kind = EntryKind::Group;
    else if (line.startsWith(QLatin1Char('C')))
        *kind = EntryKind::Range;
    else
        return false;
    return true;
}

QString DeleteQuestion(const QStringList& titles, const QList<int>& selected) {
    QString question = QStringLiteral("确实要删除") + QString::number(selected.size()) +
                       QStringLiteral("入围项目吗？\r\n");
    for (int i = 0; i < selected.size() && i < TitlesInDeleteQuestion; ++i)
        question += QStringLiteral("\r\n    ") + titles.value(selected[i]);
    if (selected.size() > TitlesInDeleteQuestion)
        question += QStringLiteral("\r\n    ......");
    return question;
}

// The positions that exist in the list, once each, in list order.
QList<int> ValidPositions(QList<int> positions, int count) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.removeIf([count](int p) { return p < 0 || p >= count; });
    return positions;
}

}  // namespace

EntryEditor::EntryEditor(TargetList& list, EntryDialogs& dialogs, UserPrompts& prompts,
                         ManualTargets& manual, QObject* parent)
    : QObject(parent),
      list_(list),
      dialogs_(dialogs),
      prompts_(prompts),
      single_(prompts, manual),
      group_(prompts, manual),
      range_(prompts, manual) {}

void EntryEditor::AddSingleEntry() {
    addLoop(EntryKind::Single);
}

void EntryEditor::AddGroupEntry() {
    addLoop(EntryKind::Group);
}

void EntryEditor::AddRangeEntry() {
    addLoop(EntryKind::Range);
}

void EntryEditor::addLoop(EntryKind kind) {
    exchange_.editMode = false;
    exchange_.editedEntry.clear();
    for (;;) {
        const EntryResult result = showDialog(kind);
        if (result.kind == EntryResult::Kind::Nothing)
            continue;
        if (result.kind != EntryResult::Kind::Data) {
            finishDialog(kind, result);
            return;
        }
        if (!acceptNewEntry(kind, result))
            return;
    }
}

EntryResult EntryEditor::showDialog(EntryKind kind) {
    EntryResult result;
    switch (kind) {
        case EntryKind::Single:
            single_.open(exchange_);
            dialogs_.execSingle(single_);
            result = single_.result();
            break;
        case EntryKind::Group:
            group_.open(exchange_);
            dialogs_.execGroup(group_);
            result = group_.result();
            break;
        case EntryKind::Range:
            range_.open(exchange_);
            dialogs_.execRange(range_);
            result = range_.result();
            break;
    }
    if (result.kind == EntryResult::Kind::None)
        result.kind = EntryResult::Kind::Closed;
    return result;
}

// False when the operation ends (the file could not be written).
bool EntryEditor::acceptNewEntry(EntryKind kind, const EntryResult& result) {
    const QString title = StoredTitle(kind, result);
    if (titleTaken(title, -1)) {
        exchange_.statusMessage = SameTitleMessage(title);
        return true;
    }
    const QString line = NewEntryLine(kind, result);
    if (!rewrite(list_.IPEntries() + QStringList{line}, AddContext(kind),
                 MessageIcon::Exclamation)) {
        return false;
    }
    emit currentItemChanged(list_.indexOf(line));
    const QString added = kind == EntryKind::Single ? result.text : title;
    exchange_.statusMessage = QLatin1Char('\'') + added + QStringLiteral("' 已添加到列表中.");
    return true;
}

void EntryEditor::EditEntry(int current) {
    if (current < 0 || current >= list_.IPEntryCount())
        return;
    const QString line = list_.IPEntries().at(current);
    EntryKind kind;
    if (!EntryKindOf(line, &kind))
        return;
    exchange_.editedEntry = line;
    for (;;) {
        exchange_.editMode = true;
        const EntryResult result = showDialog(kind);
        if (result.kind == EntryResult::Kind::Nothing)
            continue;
        if (result.kind != EntryResult::Kind::Data) {
            finishDialog(kind, result);
            break;
        }
        if (!saveEditedEntry(kind, current, result))
            break;
    }
    exchange_.editMode = false;
    exchange_.editedEntry.clear();
}

// True when the dialog is to be shown again (the title is taken).
bool EntryEditor::saveEditedEntry(EntryKind kind, int position, const EntryResult& result) {
    const QString title = StoredTitle(kind, result);
    if (titleTaken(title, position)) {
        exchange_.statusMessage =
            kind == EntryKind::Single
                ? QStringLiteral("相同的 ip/url '") + result.text + QStringLiteral("' 已存在。")
                : SameTitleMessage(title);
        return true;
    }
    QStringList lines = list_.IPEntries();
    if (position >= lines.size())
        return false;
    const QString line = NewEntryLine(kind, result);
    lines[position] = line;
    if (rewrite(lines, QStringLiteral("编辑 IP 项目"), MessageIcon::Exclamation))
        emit currentItemChanged(list_.indexOf(line));
    return false;
}

void EntryEditor::DeleteEntries(const ListSelection& selection) {
    const QStringList titles = list_.titles();
    const int count = int(titles.size());
    QList<int> doomed = ValidPositions(selection.selected, count);
    int remembered = 0;
    QString question;
    if (doomed.isEmpty()) {
        const int current = selection.current;
        if (current < 0 || current >= count || titles[current].isEmpty())
            return;
        remembered = current;
        doomed = {current};
        question = QStringLiteral("是否确实要删除项目") + titles[current] + QStringLiteral("'?");
    } else {
        remembered = doomed.last();
        question = DeleteQuestion(titles, doomed);
    }
    if (prompts_.askYesNo(question, MessageIcon::Information, QStringLiteral("删除 IP"))) {
        QStringList kept;
        for (int i = 0; i < list_.IPEntryCount(); ++i) {
            if (!doomed.contains(i))
                kept.append(list_.IPEntries().at(i));
        }
        if (!rewrite(kept, {}, MessageIcon::Critical))
            return;
    }
    const int remaining = list_.IPEntryCount();
    emit currentItemChanged(remembered < remaining ? remembered : remaining - 1);
}

void EntryEditor::ScanLocalSubnet(LocalNetworkSource& network) {
    const QString prefix = SubnetPrefix(network.localAddress());
    if (prefix.isEmpty()) {
        prompts_.message(NoLocalNetworkMessage, MessageIcon::Information);
        return;
    }
    exchange_.rangePrefillStart = prefix + QStringLiteral(".0");
    exchange_.rangePrefillEnd = prefix + QStringLiteral(".255");
    AddRangeEntry();
}

void EntryEditor::AddScanResultsAsGroup(const QList<ScannedAddress>& rows, const QString& filter) {
    if (rows.isEmpty()) {
        prompts_.message(QStringLiteral("无要添加的 IP。"), MessageIcon::None);
        return;
    }
    const QString members = ScanGroupMembers(rows, filter);
    if (members.isEmpty()) {
        prompts_.message(QStringLiteral("否 ") + filter + QStringLiteral("要添加的 IP 地址..."),
                         MessageIcon::Exclamation);
        return;
    }
    exchange_.groupPrefill = members;
    AddGroupEntry();
}

QString ScanGroupMembers(const QList<ScannedAddress>& rows, const QString& filter) {
    const QString silent = QStringLiteral("无效");
    QStringList chosen;
    for (const ScannedAddress& row : rows) {
        const bool answered = !row.status.isEmpty() && row.status != silent;
        if ((filter == QStringLiteral("活动") && !answered) ||
            (filter == QStringLiteral("非活动") && row.status != silent))
            continue;
        chosen << row.address + QStringLiteral(" (") + row.hostName + QLatin1Char(')');
    }
    return chosen.join(QStringLiteral("\r\n")).remove(QStringLiteral(" ()"));
}

bool EntryEditor::rewrite(const QStringList& lines, const QString& context, MessageIcon icon) {
    QString error;
    if (list_.RewriteList(lines, &error))
        return true;
    prompts_.message(error + context, icon);
    return false;
}

// Titles are compared without regard to letter case.
bool EntryEditor::titleTaken(const QString& title, int skippedPosition) const {
    const QString wanted = title.toUpper();
    const QStringList titles = list_.titles();
    for (int i = 0; i < titles.size(); ++i) {
        if (i != skippedPosition && titles[i].toUpper() == wanted)
            return true;
    }
    return false;
}

void EntryEditor::finishDialog(EntryKind kind, const EntryResult& result) {
    if (result.testRequested)
        emit runRequested(kind);
}

QString StoredTitle(EntryKind kind, const EntryResult& result) {
    switch (kind) {
        case EntryKind::Single:
            return result.text.section(QLatin1Char(','), 0, 0);
        case EntryKind::Group:
            return result.title.isEmpty() ? QStringLiteral("IP_群组") : result.title;
        case EntryKind::Range:
            break;
    }
    return result.title.isEmpty() ? QStringLiteral("IP_区域") : result.title;
}

QString NewEntryLine(EntryKind kind, const EntryResult& result) {
    QString line;
    switch (kind) {
        case EntryKind::Single:
            line = QLatin1Char('A') + result.text;
            break;
        case EntryKind::Group:
            line = QLatin1Char('B') + StoredTitle(kind, result) + QLatin1Char(',') + result.text;
            break;
        case EntryKind::Range:
            line = QLatin1Char('C') + StoredTitle(kind, result) + QLatin1Char(',') + result.text;
            break;
    }
    // Stored as the list reads it back, so that the new line can be found after the reload.
    return TrimSpaces(line.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
}

SelectionSummary UpdateSelectionSummary(int selectedCount, const QString& currentItemText) {
    if (selectedCount == 0)
        return {currentItemText, false};
    return {QStringLiteral("己选定") + QString::number(selectedCount) + QStringLiteral("项目"),
            true};
}

EntryDetails ShowEntryDetails(const QString& entryLine) {
    EntryDetails details;
    if (!EntryKindOf(entryLine, &details.kind) || details.kind == EntryKind::Single)
        return details;
    QStringList fields = entryLine.mid(1).split(QLatin1Char(','));
    details.shown = true;
    details.title = fields.takeFirst();
    if (details.kind == EntryKind::Group) {
        details.kindCaption = QStringLiteral("当前选定 IP 组：");
        details.members = fields;
        const qsizetype height = (fields.size() + 1) * MemberRowTwips + GroupPanelBaseTwips;
        details.heightTwips = int(std::min<qsizetype>(height, GroupPanelMaxTwips));
    } else {
        details.kindCaption = QStringLiteral("当前选定 IP 范围：");
        details.members = {QString(), fields.value(0) + QStringLiteral("  -  ") + fields.value(1)};
        details.heightTwips = RangePanelTwips;
    }
    return details;
}

QString PickedMemberTarget(const EntryDetails& shown, const QString& member,
                           bool checkResetChecked) {
    if (!shown.shown || shown.kind != EntryKind::Group || member.isEmpty() || checkResetChecked)
        return {};
    return SplitTargetText(member).first;
}

}  // namespace sondrel
