#include "report/export_frame.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/text_file.h"

namespace sondrel {

QString ExportExtension(ExportFormat format) {
    return format == ExportFormat::Csv ? QStringLiteral("csv") : QStringLiteral("txt");
}

std::optional<ExportFormat> FormatOfFileName(const QString& path) {
    if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        return ExportFormat::Text;
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return ExportFormat::Csv;
    return std::nullopt;
}

QString FolderOfPath(const QString& path) {
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ShortTimeStamp(const QDateTime& moment) {
    return moment.isValid() ? moment.toString(QStringLiteral("yyMMddHHmm"))
                            : QStringLiteral("----------");
}

QString LongTimeStamp(const QDateTime& moment) {
    return moment.isValid() ? moment.toString(QStringLiteral("yyyyMMddHHmm"))
                            : QStringLiteral("----------");
}

QString DesktopFolder() {
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || !QDir(desktop).exists())
        desktop = QDir::homePath();
    return desktop.endsWith(QLatin1Char('/')) ? desktop : desktop + QLatin1Char('/');
}

namespace {

QString cleanPath(const QString& chosen) {
    QString path = chosen.trimmed();
    path.remove(QLatin1Char('\r'));
    path.remove(QLatin1Char('\n'));
    path.remove(QChar(0));
    return path;
}

}  // namespace

ExportFrame::ExportFrame(UserPrompts& prompts, FileDialogs& dialogs, Folder folder)
    : prompts_(prompts), dialogs_(dialogs), folder_(std::move(folder)) {}

QString ExportFrame::initialFolder() const {
    const QString last = folder_.read ? folder_.read() : QString();
    return last.isEmpty() ? DesktopFolder() : last;
}

QString ExportFrame::remember(const QString& chosen) {
    const QString path = cleanPath(chosen);
    if (!path.isEmpty() && folder_.write)
        folder_.write(FolderOfPath(path));
    return path;
}

QString ExportFrame::ShowSaveDialog(const QString& title, const QString& defaultName,
                                    const QString& extension) {
    return remember(dialogs_.saveFileName(title, initialFolder(), defaultName, extension));
}

QString ExportFrame::ShowOpenLogDialog() {
    return remember(dialogs_.openFileName(initialFolder()));
}

void ExportFrame::OpenResultFile() {
    const QString path = ShowOpenLogDialog();
    if (path.isEmpty())
        return;
    QString error;
    if (!dialogs_.openFile(path, &error))
        prompts_.message(error + QStringLiteral("   "), MessageIcon::Critical);
}

QString ExportFrame::WriteExport(const ExportJob& job) {
    const QString path = ShowSaveDialog(job.title, job.defaultName, job.extension);
    if (path.isEmpty())
        return {};
    if (QFileInfo::exists(path) &&
        !prompts_.askYesNo(OverwriteQuestion, MessageIcon::Exclamation, QStringLiteral("信息")))
        return {};
    QString reason;
    if (!WriteTextFileAtomically(path, job.lines(), &reason)) {
        prompts_.message(job.errorText(reason), job.errorIcon);
        return {};
    }
    prompts_.message(job.successText + QStringLiteral("\r\n\r\n") + path, MessageIcon::Information,
                     SavedTitle);
    return path;
}

}  // namespace sondrel
