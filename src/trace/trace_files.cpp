#include "trace/trace_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace sondrel {

QString TraceTempFolder(const QString& dataFolder) {
    return QDir(dataFolder).filePath(QStringLiteral("温度"));
}

QString TraceFileBase(const QString& tempFolder, const QDateTime& started) {
    const QDate day = started.date();
    const QTime time = started.time();
    QString name = QStringLiteral("TMP");
    for (const int part :
         {day.year(), day.month(), day.day(), time.hour(), time.minute(), time.second()})
        name += QString::number(part);
    return QDir(tempFolder).filePath(name);
}

QString TraceOutputFile(const QString& fileBase, qint64 index) {
    return fileBase + QString::number(index) + QStringLiteral(".txt");
}

bool RecreateTraceFolder(const QString& folder, QString* error) {
    const QFileInfo info(folder);
    bool removed = true;
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        removed = QFile::remove(folder);  // the link itself, not what it points to
    else if (info.isDir())
        removed = QDir(folder).removeRecursively();  // links inside are removed, not followed
    if (removed && QDir().mkpath(folder) && QFileInfo(folder).isDir() &&
        !QFileInfo(folder).isSymLink())
        return true;
    if (error != nullptr)
        *error = QStringLiteral("路径/文件访问错误 ") + QDir::toNativeSeparators(folder);
    return false;
}

QString SystemDateTimeText(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), QLocale::LongFormat);
}

}  // namespace sondrel
