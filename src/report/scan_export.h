#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "report/export_frame.h"
#include "scan/scan_table.h"

namespace sondrel {

inline const QString NoScanDataMessage = QStringLiteral("没有 ip 扫描数据导出。");

// What the scan export reads: the table, the totals as the scan pane shows them, and the title
// of the target at each row's position.
struct ScanExportData {
    const ScanTable& table;
    QString total, active, inactive;
    const QStringList& titles;
};

// The scan export's lines; `scannedAt` is the date and time of the export as the system shows
// them.
QStringList ScanExportLines(const ScanExportData& data, const QString& scannedAt);

// ExportScanResults: the no-data message for an empty table.
void ExportScanResults(ExportFrame& frame, const ScanExportData& data, ExportFormat format,
                       const QDateTime& now);

}  // namespace sondrel
