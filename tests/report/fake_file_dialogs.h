#pragma once

#include <QStringList>

#include "report/export_frame.h"

namespace sondrel::testing {

// Answers the export dialogs as the test set them, and records what they were asked.
class FakeFileDialogs final : public FileDialogs {
  public:
    std::optional<ExportFormat> chooseExportFormat(ExportSource source) override {
        sources.append(source);
        return format;
    }
    QString saveFileName(const QString& title, const QString& folder, const QString& defaultName,
                         const QString& extension) override {
        asked << title << folder << defaultName << extension;
        return savePath;
    }
    QString openFileName(const QString& folder) override {
        asked << folder;
        return openPath;
    }
    bool openFile(const QString& path, QString* error) override {
        opened << path;
        if (!openError.isEmpty() && error)
            *error = openError;
        return openError.isEmpty();
    }

    std::optional<ExportFormat> format = ExportFormat::Text;
    QString savePath;
    QString openPath;
    QString openError;
    QList<ExportSource> sources;
    QStringList asked;
    QStringList opened;
};

}  // namespace sondrel::testing
