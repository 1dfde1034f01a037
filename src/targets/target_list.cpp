#include "targets/target_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLatin1Char>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "common/text_file.h"
#include "common/text_order.h"
#include "targets/local_network.h"
#include "targets/target_expansion.h"

namespace sondrel {

namespace {

constexpr qsizetype SortKeyLength = 30;
const QString Terminator = QStringLiteral(" ");
const QString TraceItemGap = QString(50, QLatin1Char(' '));

QString SingleLine(const QString& address) {
    return QLatin1Char('A') + address + QLatin1Char(',') + address;
}

bool IsKind(const QString& line, char kind) {
    return line.startsWith(QLatin1Char(kind));
}

// Why an existing file could not be read, in the system's words; the look never blocks on a
// FIFO or a device.
QString ReadFailure(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("Not a regular file");
    if (info.size() > MaxTextFileSize)
        return QStringLiteral("File too large");
    QFile file;
    if (!OpenRegularFile(file, path))
        return QString::fromLocal8Bit(std::strerror(errno));
    return QStringLiteral("Read error");
}

}  // namespace

TargetList::TargetList(QString dataFolder, LocalNetworkSource& network, UserPrompts& prompts,
                       QObject* parent)
    : QObject(parent), dataFolder_(std::move(dataFolder)), network_(network), prompts_(prompts) {}

QString TargetList::filePath() const {
    return QDir(dataFolder_).filePath(TargetListFileName);
}

void TargetList::Fill_IP_List_2() {
    entries_.clear();
    if (ensureFileExists())
        load();
    emit listChanged();
}

bool TargetList::ensureFileExists() {
    if (QFile::exists(filePath()))
        return true;
    MigrateOldListFile(dataFolder_);
    if (QFile::exists(filePath()))
        return true;
    QString error;
    if (!WriteTextFileAtomically(filePath(), DefaultEntries(network_) << Terminator, &error)) {
        prompts_.message(error + FillListContext, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void TargetList::load() {
    bool ok = false;
    TrimmedLineReader reader(ReadTextLines(filePath(), &ok));
    if (!ok) {
        prompts_.message(ReadFailure(filePath()) + FillListContext, MessageIcon::Exclamation);
        return;
    }
    for (QString line = ReadTrimmedLine(reader); !line.isEmpty(); line = ReadTrimmedLine(reader)) {
        if (!line.startsWith(QLatin1Char('=')))
            entries_.append(line);
    }
    SortIPEntries(entries_);
}

bool TargetList::RewriteList(const QStringList& lines, QString* error) {
    QStringList written;
    for (QString line : lines) {
        line = TrimSpaces(line.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
        if (!line.isEmpty())
            written.append(line);
    }
    written.append(Terminator);
    QString reason;
    if (!WriteTextFileAtomically(filePath(), written, &reason)) {
        if (error != nullptr)
            *error = reason;
        return false;
    }
    Fill_IP_List_2();
    return true;
}

QStringList TargetList::titles() const {
    QStringList items;
    for (const QString& line : entries_)
        items.append(EntryTitle(line));
    return items;
}

QStringList TargetList::traceItems() const {
    QStringList items;
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (!IsKind(entries_[i], 'C'))
            items.append(EntryTitle(entries_[i]) + TraceItemGap + QString::number(i));
    }
    return items;
}

QStringList TargetList::pickItems() const {
    QStringList items;
    for (const QString& line : entries_) {
        if (IsKind(line, 'A'))
            items.append(SplitTargetText(line.mid(1)).first);
    }
    return items << PickListSeparator << PickListAddItem;
}

void SortIPEntries(QStringList& entries) {
    SortByLeadingCharacters(entries, SortKeyLength);
}

bool MigrateOldListFile(const QString& dataFolder) {
    const QDir folder(dataFolder);
    bool ok = false;
    TrimmedLineReader reader(ReadTextLines(folder.filePath(OldTargetListFileName), &ok));
    if (!ok)
        return false;
    QStringList lines;
    for (QString line = ReadTrimmedLine(reader); !line.isEmpty(); line = ReadTrimmedLine(reader))
        lines.append(IsKind(line, 'A') ? line + QLatin1Char(',') + line.mid(1) : line);
    lines.append(Terminator);
    return WriteTextFileAtomically(folder.filePath(TargetListFileName), lines, nullptr);
}

QStringList DefaultEntries(LocalNetworkSource& network) {
    const QString local = network.localAddress();
    QString first = network.gatewayAddress();
    if (first.isEmpty())
        first = local;
    QStringList lines;
    if (!first.isEmpty())
        lines.append(SingleLine(first));
    for (const QString& server : network.dnsServers()) {
        if (!server.isEmpty() && server != first)
            lines.append(SingleLine(server));
    }
    lines << SingleLine(DefaultPublicHost1) << SingleLine(DefaultPublicHost2);
    return lines + SubnetEntries(local);
}

int TraceItemPosition(const QString& item) {
    qsizetype start = item.size();
    while (start > 0 && item.at(start - 1).isDigit() && item.at(start - 1).unicode() < 128)
        --start;
    bool ok = false;
    const int position = item.mid(start).toInt(&ok);
    return ok ? position : -1;
}

PickedAddress InsertPickedAddress(const QString& commandText, const QString& item) {
    using Action = PickedAddress::Action;
    if (item == PickListSeparator)
        return {Action::HidePickList, {}};
    if (item == PickListAddItem)
        return {Action::OpenAddDialog, {}};
    const QString cmd = TrimSpaces(commandText);
    const qsizetype dot = cmd.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {Action::SetCommand, commandText + QLatin1Char(' ') + item};
    qsizetype right = cmd.indexOf(QLatin1Char(' '), dot);
    if (right < 0)
        right = cmd.size();
    const qsizetype left = std::max<qsizetype>(0, cmd.lastIndexOf(QLatin1Char(' '), dot));
    const QString token = TrimSpaces(cmd.mid(left, right - left));
    return {Action::SetCommand, QString(cmd).replace(token, item)};
}

}  // namespace sondrel
