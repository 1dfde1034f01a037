#include "app/data_folder.h"

#include <sys/stat.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLatin1Char>
#include <QLatin1StringView>
#include <QStringList>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>

namespace sondrel {

namespace {

const QLatin1StringView DataFolderName("SondrelDataBas");

QString ErrorText(int errorNumber, const QString& path) {
    return QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(std::strerror(errorNumber)), path);
}

// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
QString UserDataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QLatin1StringView("/.local/share");
}

// Creates the folder and every missing parent, private to the user (0700) as the XDG base
// directory rules ask. On failure returns false with the reason in `error`.
bool CreateFolderTree(const QString& folder, QString* error) {
    QStringList missing;
    for (QString path = QDir::cleanPath(folder); !QFileInfo::exists(path);) {
        missing.prepend(path);
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    for (const QString& path : missing) {
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
            *error = ErrorText(errno, path);
            return false;
        }
    }
    if (!QFileInfo(folder).isDir()) {
        *error = ErrorText(ENOTDIR, folder);
        return false;
    }
    return true;
}

}  // namespace

QString AppendBackslash(const QString& path) {
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString DataFolderWriteProblem(const QString& folder) {
    QTemporaryFile probe(AppendBackslash(folder) + QStringLiteral(".write-check-XXXXXX"));
    if (probe.open())
        return {};
    return QStringLiteral("数据文件夹不可写入：") + folder + QStringLiteral("（") +
           probe.errorString() + QStringLiteral("）。测试结果日志和 IP 列表将无法保存。");
}

QString LocateDataFolder(UserPrompts& prompts) {
    const QString folder = AppendBackslash(UserDataHome()) + DataFolderName;
    QString error;
    const QString located = CreateFolderTree(folder, &error)
                                ? AppendBackslash(folder)
                                : AppendBackslash(QCoreApplication::applicationDirPath());
    // One message for everything that is wrong with the folder; the program still starts.
    const QString writeProblem = DataFolderWriteProblem(located);
    if (!error.isEmpty() || !writeProblem.isEmpty()) {
        const QString separator =
            error.isEmpty() || writeProblem.isEmpty() ? QString() : QStringLiteral("\r\n");
        prompts.message(error + separator + writeProblem, MessageIcon::None);
    }
    return located;
}

}  // namespace sondrel
