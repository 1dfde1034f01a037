#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "report/export_frame.h"
#include "trace/trace_lines.h"

namespace sondrel {

inline const QString NoTraceDataMessage =
    QStringLiteral("没有任何数据导出或路由追踪任务正在运行。");

// The stamp of the default file name: the first 18 characters of the first target's start
// time without "/", ":", " " and "-".
QString TraceExportStamp(const std::vector<TraceRecord>& records);

// The trace export's lines: the heading, then every target's lines 0 to its line count.
QStringList TraceExportLines(const std::vector<TraceRecord>& records);

// ExportTraceResults: the no-data message unless the results are marked available.
void ExportTraceResults(ExportFrame& frame, const std::vector<TraceRecord>& records, bool available,
                        ExportFormat format);

}  // namespace sondrel
