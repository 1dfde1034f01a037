#pragma once

#include <QString>
#include <QStringList>

#include "engine/run_results.h"
#include "report/export_frame.h"
#include "report/record_stamps.h"

namespace sondrel {

inline const QString NoExportDataMessage = QStringLiteral("没有要导出的数据。");

// ExportStamp: the month, day, hour and minute of the last reply line (MMDDhhmm); "" before the
// first reply and after a reload.
QString ExportStamp(const QString& lastReplyLine);

// The ping results as the text export writes them. Each target's records are those the run
// really probed for it, also after the record array wrapped.
QStringList PingTextLines(const RunResults& run, StampFormatter& stamps);
// The same as a CSV file.
QStringList PingCsvLines(const RunResults& run, StampFormatter& stamps);

// ExportPingText / ExportPingCsv through the export frame; the no-data message when the run
// holds no record.
void ExportPingResults(ExportFrame& frame, const RunResults& run, ExportFormat format);

}  // namespace sondrel
