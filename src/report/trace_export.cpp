#include "report/trace_export.h"

namespace sondrel {

QString TraceExportStamp(const std::vector<TraceRecord>& records) {
    if (records.empty())
        return {};
    QString stamp = records.front().startTime.left(18);
    for (QChar c : {QLatin1Char('/'), QLatin1Char(':'), QLatin1Char(' '), QLatin1Char('-')})
        stamp.remove(c);
    return stamp;
}

QStringList TraceExportLines(const std::vector<TraceRecord>& records) {
    QStringList out;
    out << QStringLiteral("跟踪路径到%1 hosts.").arg(records.size()) << QStringLiteral(" ");
    for (const TraceRecord& record : records)
        for (qint64 n = 0; n <= record.lineCount; ++n)
            out << record.line(n);
    out << QStringLiteral(" ");
    return out;
}

void ExportTraceResults(ExportFrame& frame, const std::vector<TraceRecord>& records, bool available,
                        ExportFormat format) {
    if (!available) {
        frame.prompts().message(NoTraceDataMessage, MessageIcon::Information);
        return;
    }
    ExportJob job;
    job.title = QStringLiteral("路由追踪结果将导出到此文件");
    job.defaultName = QStringLiteral("追踪_日志_") + TraceExportStamp(records);
    job.extension = ExportExtension(format);
    job.successText = QStringLiteral("路由追踪结果已经导出文件：");
    job.errorText = [](const QString& reason) {
        return reason + QStringLiteral("    exp 路由追踪到 txt");
    };
    job.lines = [&records] { return TraceExportLines(records); };
    frame.WriteExport(job);
}

}  // namespace sondrel
