#include "report/list_copies.h"

#include <QFileInfo>

#include "common/text_file.h"
#include "report/export_frame.h"

namespace sondrel {

namespace {
const QString InfoTitle = QStringLiteral("信息");
}  // namespace

ListCopies::ListCopies(ExportFrame& frame, List targets, List history,
                       std::function<QDateTime()> now)
    : frame_(frame),
      targets_(std::move(targets)),
      history_(std::move(history)),
      now_(std::move(now)) {}

void ListCopies::ExportTargetList() {
    exportList(targets_, {QStringLiteral("将 IP 列表导出到此文件"),
                          QStringLiteral("IP_列表_"),
                          QStringLiteral("IP 列表已导出到文件："),
                          {},
                          {}});
}

void ListCopies::ExportCommandHistory() {
    exportList(history_, {QStringLiteral("DOS 命令历史记录将导出到此文件"),
                          QStringLiteral("DOS_CMD_HIS_"),
                          QStringLiteral("DOS 命令历史记录已导出到文件："),
                          {},
                          {}});
}

void ListCopies::ImportTargetList() {
    importList(
        targets_,
        {{}, {}, {}, QStringLiteral("覆盖当前 IP 列表吗？"), QStringLiteral("已导入 IP 列表")});
}

void ListCopies::ImportCommandHistory() {
    importList(history_, {{},
                          {},
                          {},
                          QStringLiteral("覆盖当前 DOS 命令历史记录吗？"),
                          QStringLiteral("已导入 DOS 命令历史记录")});
}

// The list file byte for byte to a chosen file, after the question when that file exists.
void ListCopies::exportList(const List& list, const Texts& texts) {
    UserPrompts& prompts = frame_.prompts();
    const QString path = TrimSpaces(frame_.ShowSaveDialog(
        texts.saveTitle, texts.defaultName + LongTimeStamp(now_()), QStringLiteral("txt")));
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) &&
        !prompts.askYesNo(OverwriteQuestion, MessageIcon::Exclamation, InfoTitle))
        return;
    QByteArray bytes;
    QString error;
    if (!ReadFileBytes(list.path, &bytes, &error) || !WriteFileAtomically(path, bytes, &error)) {
        prompts.message(error, MessageIcon::Critical);
        return;
    }
    prompts.message(texts.exported + path, MessageIcon::Information, SavedTitle);
}

// A chosen text file over the list file, after the question when the list exists.
void ListCopies::importList(const List& list, const Texts& texts) {
    UserPrompts& prompts = frame_.prompts();
    QString path = frame_.ShowOpenLogDialog();
    path.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    path = TrimSpaces(path);
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path)) {
        prompts.message(QStringLiteral("找不到该文件。"), MessageIcon::Exclamation,
                        QStringLiteral("文件名错误"));
        return;
    }
    QByteArray bytes;
    QString error;
    if (!ReadFileBytes(path, &bytes, &error)) {
        prompts.message(error, MessageIcon::Critical);
        return;
    }
    if (bytes.contains('\0')) {
        prompts.message(QStringLiteral("所选文件不是文本文件，当前列表保持不变：") + path,
                        MessageIcon::Critical);
        return;
    }
    if (QFileInfo::exists(list.path) &&
        !prompts.askYesNo(texts.question, MessageIcon::Exclamation, InfoTitle))
        return;
    if (!WriteFileAtomically(list.path, bytes, &error)) {
        prompts.message(error, MessageIcon::Critical);
        return;
    }
    prompts.message(texts.imported, MessageIcon::Information, QStringLiteral("导入"));
    list.reload();
}

}  // namespace sondrel
