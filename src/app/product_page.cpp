#include "app/product_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace sondrel {

namespace {
const QString PageName = QStringLiteral("sondrel.html");
}

QUrl ProductWebAddressIn(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString installed = folder.filePath(QStringLiteral("../share/doc/sondrel/") + PageName);
    const QString beside = folder.filePath(PageName);
    const QString page = QFileInfo::exists(beside) ? beside : installed;
    return QUrl::fromLocalFile(QDir::cleanPath(page));
}

QUrl ProductWebAddress() {
    return ProductWebAddressIn(QCoreApplication::applicationDirPath());
}

}  // namespace sondrel
