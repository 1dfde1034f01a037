#include "app/data_folder.h"

#include <sys/stat.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLatin1Char>
#include <QLatin1StringView>
#include <QStringList>
#include <cerrno>
#include <cstring>

namespace sondrel {

namespace {

const QLatin1StringView kDataFolderName("SondrelDataBas");

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

QString LocateDataFolder(UserPrompts& prompts) {
    const QString folder = AppendBackslash(UserDataHome()) + kDataFolderName;
    QString error;
    if (CreateFolderTree(folder, &error))
        return AppendBackslash(folder);
    prompts.message(error, MessageIcon::None);
    return AppendBackslash(QCoreApplication::applicationDirPath());
}

}  // namespace sondrel
