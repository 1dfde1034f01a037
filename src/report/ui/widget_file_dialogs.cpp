#include "report/ui/widget_file_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include "report/ui/dialog_export.h"

namespace sondrel {

WidgetFileDialogs::WidgetFileDialogs(QWidget* owner) : owner_(owner) {}

WidgetFileDialogs::~WidgetFileDialogs() {
    delete dialogExport_.data();
}

std::optional<ExportFormat> WidgetFileDialogs::chooseExportFormat(ExportSource source) {
    if (dialogExport_.isNull())
        dialogExport_ = new DialogExport(owner_);
    return dialogExport_->choose(source);
}

QString WidgetFileDialogs::saveFileName(const QString& title, const QString& folder,
                                        const QString& defaultName, const QString& extension) {
    QFileDialog dialog(owner_, title, folder);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QStringLiteral("文本文件 (*.%1)").arg(extension));
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(defaultName + QLatin1Char('.') + extension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString WidgetFileDialogs::openFileName(const QString& folder) {
    QFileDialog dialog(owner_, QStringLiteral("打开日志文件"), folder);
    dialog.setObjectName(QStringLiteral("OpenFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Text/CSV Files (*.txt *.csv)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool WidgetFileDialogs::openFile(const QString& path, QString* error) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;
    if (error)
        *error = QStringLiteral("无法打开文件 %1").arg(path);
    return false;
}

}  // namespace sondrel
