#pragma once

#include <QPointer>

#include "report/export_frame.h"

class QWidget;

namespace sondrel {

class DialogExport;

// The export dialogs of the window: DialogExport, Qt's file dialogs, and the desktop's
// default handler for opening a file.
class WidgetFileDialogs final : public FileDialogs {
  public:
    explicit WidgetFileDialogs(QWidget* owner);
    ~WidgetFileDialogs() override;

    std::optional<ExportFormat> chooseExportFormat(ExportSource source) override;
    QString saveFileName(const QString& title, const QString& folder, const QString& defaultName,
                         const QString& extension) override;
    QString openFileName(const QString& folder) override;
    bool openFile(const QString& path, QString* error) override;

  private:
    QWidget* owner_;
    QPointer<DialogExport> dialogExport_;
};

}  // namespace sondrel
