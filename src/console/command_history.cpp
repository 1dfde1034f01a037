#include "console/command_history.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "common/text_file.h"
#include "common/text_order.h"
#include "common/user_prompts.h"
#include "console/console_presets.h"

namespace sondrel {

namespace {

const QString Terminator = QStringLiteral(" ");
const QString DeleteTitle = QStringLiteral("删除历史记录");
constexpr qsizetype SortKeyLength = 30;

QStringList WithoutEmpty(const QStringList& lines) {
    QStringList kept;
    for (const QString& line : lines)
        if (!line.isEmpty())
            kept << line;
    return kept;
}

}  // namespace

CommandHistory::CommandHistory(QString dataFolder, UserPrompts& prompts)
    : path_(QDir(dataFolder).filePath(HistoryFileName)), prompts_(prompts) {}

void CommandHistory::LoadCommandHistory() {
    lines_.clear();
    display_.clear();
    QString error;
    if (!QFileInfo::exists(path_) &&
        !WriteTextFileAtomically(path_, DefaultHistory() << Terminator, &error)) {
        prompts_.message(error, MessageIcon::Exclamation);
        return;
    }
    bool ok = false;
    TrimmedLineReader reader(ReadTextLines(path_, &ok));
    if (!ok) {
        prompts_.message(QStringLiteral("无法读取 ") + path_, MessageIcon::Exclamation);
        return;
    }
    for (QString line = ReadTrimmedLine(reader); !line.isEmpty(); line = ReadTrimmedLine(reader))
        lines_ << line;
    display_ = lines_;
}

bool CommandHistory::AddCommandToHistory(const QString& command) {
    const QString c = TrimSpaces(command);
    if (c.isEmpty() || display_.contains(c))
        return false;
    return rewrite(WithoutEmpty(lines_) << c, QStringLiteral("   Dos Add"));
}

bool CommandHistory::DeleteSelectedHistory(const QStringList& selected) {
    if (selected.isEmpty()) {
        prompts_.message(QStringLiteral("请选择您想删除的历史记录。"), MessageIcon::Exclamation);
        return false;
    }
    if (!prompts_.askYesNo(QStringLiteral("确实要删除") + QString::number(selected.size()) +
                               QStringLiteral("入围项目吗？"),
                           MessageIcon::Information, DeleteTitle))
        return false;
    QStringList kept;
    for (const QString& line : lines_)
        if (!selected.contains(line))
            kept << line;
    return rewrite(WithoutEmpty(kept), QString());
}

bool CommandHistory::KeepLastHistory(int count) {
    if (!prompts_.askYesNo(QStringLiteral("确实要删除所有除最后") + QString::number(count) +
                               QStringLiteral("记录吗？"),
                           MessageIcon::Information, DeleteTitle))
        return false;
    const qsizetype first = std::max<qsizetype>(0, lines_.size() - count);
    return rewrite(WithoutEmpty(lines_.mid(first)), QString());
}

// The emptied file stays, so the default history does not come back.
bool CommandHistory::ClearHistory() {
    if (!prompts_.askYesNo(QStringLiteral("是否确实要删除所有的历史记录吗？"),
                           MessageIcon::Information, DeleteTitle))
        return false;
    QString error;
    if (!WriteTextFileAtomically(path_, {}, &error)) {
        prompts_.message(error, MessageIcon::Critical);
        return false;
    }
    LoadCommandHistory();
    return true;
}

// A reload shows file order but keeps the flag, so the first click after a change shows file
// order again.
void CommandHistory::ToggleHistoryOrder() {
    if (sorted_) {
        LoadCommandHistory();
        sorted_ = false;
        return;
    }
    SortByLeadingCharacters(display_, SortKeyLength);
    sorted_ = true;
}

// The whole file in one step; a failed write leaves the old file and the lists as they were.
bool CommandHistory::rewrite(const QStringList& commands, const QString& label) {
    QString error;
    if (!WriteTextFileAtomically(path_, QStringList(commands) << Terminator, &error)) {
        prompts_.message(error + label, MessageIcon::Critical);
        return false;
    }
    LoadCommandHistory();
    return true;
}

}  // namespace sondrel
