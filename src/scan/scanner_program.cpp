#include "scan/scanner_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace sondrel {

namespace {

constexpr QFileDevice::Permissions ExecutableMode =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

bool SameBytes(const QString& path, const QByteArray& image) {
    QFile file(path);
    if (file.size() != image.size() || !file.open(QIODevice::ReadOnly))
        return false;
    return file.readAll() == image;
}

}  // namespace

std::optional<QString> WriteScannerProgram(const QString& folder, const QByteArray& image,
                                           QString* error) {
    const QString path = QDir(folder).filePath(ScannerProgramName);
    if (SameBytes(path, image)) {
        QFile::setPermissions(path, ExecutableMode);
        return path;
    }
    // Written beside the target and renamed over it, so that a scan never starts a half
    // written worker and a worker that is running keeps its old file.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() ||
        !file.setPermissions(ExecutableMode) || !file.commit()) {
        if (error)
            *error = file.errorString() + QStringLiteral(": ") + path;
        return std::nullopt;
    }
    return path;
}

std::optional<QString> ExtractScannerProgram(const QString& dataFolder,
                                             const QString& fallbackFolder, QString* error) {
    const QByteArray image = ScannerProgramImage();
    if (auto path = WriteScannerProgram(dataFolder, image, error))
        return path;
    return WriteScannerProgram(fallbackFolder, image, error);
}

}  // namespace sondrel
