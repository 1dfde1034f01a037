#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "common/user_prompts.h"

namespace sondrel {

// The two file formats of every export.
enum class ExportFormat { Text, Csv };
// "txt" or "csv".
QString ExportExtension(ExportFormat format);
// The format a file name asks for by its ending (".txt" or ".csv", any case); none otherwise.
std::optional<ExportFormat> FormatOfFileName(const QString& path);

// What the next export applies to (ExportSource): the ping test, the route trace, the address
// scan or the summary report.
enum class ExportSource { None, Ping, Trace, Scan, Report };

// The dialogs of the exports: the format choice, the save and open dialogs and the desktop's
// opener. The window shows real ones; tests answer them.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // DialogExport for `source`; none when it was cancelled.
    virtual std::optional<ExportFormat> chooseExportFormat(ExportSource source) = 0;
    // The save dialog (the exports ask about overwriting themselves); "" when cancelled.
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& defaultName, const QString& extension) = 0;
    // The open dialog of result files (existing .txt and .csv files); "" when cancelled.
    virtual QString openFileName(const QString& folder) = 0;
    // Opens the file with the desktop's default handler; false with the reason on failure.
    virtual bool openFile(const QString& path, QString* error) = 0;
};

inline const QString OverwriteQuestion = QStringLiteral("存在相同的文件名，改写它吗？");
inline const QString SavedTitle = QStringLiteral("保存文件");

// The stamps of default file names: YYMMDDhhmm (ShortTimeStamp) and YYYYMMDDhhmm
// (LongTimeStamp); "----------" without a valid clock.
QString ShortTimeStamp(const QDateTime& moment);
QString LongTimeStamp(const QDateTime& moment);

// The folder of a path: the path itself when it ends in "/", else up to its last "/".
QString FolderOfPath(const QString& path);
// The user's desktop folder; the home folder when there is no desktop folder.
QString DesktopFolder();

// One file export: the texts of its dialog and messages, and its lines.
struct ExportJob {
    QString title;        // of the save dialog
    QString defaultName;  // without extension
    QString extension;
    QString successText;  // followed by two line ends and the path
    // The message of a failed write from the system's reason, and its icon.
    std::function<QString(const QString& reason)> errorText;
    MessageIcon errorIcon = MessageIcon::None;
    std::function<QStringList()> lines;  // built once the path is settled
};

// The pieces every export shares: the remembered export folder, the save and open dialogs,
// and the frame of a file export. A file is written whole or not at all: the lines go to a
// temporary file beside the target that replaces an existing file only after the overwrite
// question was answered Yes, so a failed write leaves the old file as it was.
class ExportFrame {
  public:
    struct Folder {
        std::function<QString()> read;  // LastExportFolder (Default_Path)
        std::function<void(const QString&)> write;
    };
    ExportFrame(UserPrompts& prompts, FileDialogs& dialogs, Folder folder);

    // ShowSaveDialog: the chosen path, cleaned of blanks at the ends and of CR, LF and NUL; ""
    // when cancelled. Remembers the folder.
    QString ShowSaveDialog(const QString& title, const QString& defaultName,
                           const QString& extension);
    // ShowOpenLogDialog: the chosen result file, as above.
    QString ShowOpenLogDialog();
    // OpenResultFile: a chosen result file opened with the desktop's default handler.
    void OpenResultFile();
    // Steps 2 to 5 of an export after its data check: dialog, overwrite question, write,
    // message. Returns the path written, or "" when nothing was written.
    QString WriteExport(const ExportJob& job);

    UserPrompts& prompts() { return prompts_; }
    FileDialogs& dialogs() { return dialogs_; }

  private:
    QString initialFolder() const;
    QString remember(const QString& chosen);

    UserPrompts& prompts_;
    FileDialogs& dialogs_;
    Folder folder_;
};

}  // namespace sondrel
