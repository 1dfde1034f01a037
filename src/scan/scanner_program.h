#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace sondrel {

// "Kestrune" + the version "2008.1.12" without its dots + ".exe".
inline const QString ScannerProgramName = QStringLiteral("Kestrune2008112.exe");

// The worker program's image as the build embedded it.
QByteArray ScannerProgramImage();

// Writes `image` as the scanner program into `folder` (mode 0755) unless a file with exactly
// these bytes is there already; a file with other bytes (a worker of another build) is
// replaced through a temporary file and a rename. Returns the program's path, or nothing with
// `error` set.
std::optional<QString> WriteScannerProgram(const QString& folder, const QByteArray& image,
                                           QString* error);

// The start-up step: the embedded image into the data folder, else into `fallbackFolder` (the
// program's own folder). Nothing, with `error` set, when both fail.
std::optional<QString> ExtractScannerProgram(const QString& dataFolder,
                                             const QString& fallbackFolder, QString* error);

}  // namespace sondrel
