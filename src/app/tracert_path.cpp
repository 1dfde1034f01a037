#include "app/tracert_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace sondrel {

QString TracertProgramPathIn(const QString& programFolder) {
    const QString beside = QDir(programFolder).filePath(QStringLiteral("tracert"));
    const QFileInfo built(beside);
    if (built.isFile() && built.isExecutable())
        return beside;
    return QDir::cleanPath(
        QDir(programFolder).filePath(QStringLiteral("../libexec/sondrel/tracert")));
}

QString TracertProgramPath() {
    return TracertProgramPathIn(QCoreApplication::applicationDirPath());
}

}  // namespace sondrel
