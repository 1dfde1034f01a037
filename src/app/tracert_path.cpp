#include "app/tracert_path.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace sondrel {

QString TracertProgramPathIn(const QString& programFolder) {
    const QString inBuildTree = programFolder + QStringLiteral("/trace/tracert/tracert");
    const QFileInfo built(inBuildTree);
    if (built.isFile() && built.isExecutable())
        return inBuildTree;
    return programFolder + QStringLiteral("/tracert");
}

QString TracertProgramPath() {
    return TracertProgramPathIn(QCoreApplication::applicationDirPath());
}

}  // namespace sondrel
