#include "report/scan_export.h"

#include "trace/trace_files.h"

namespace sondrel {

namespace {

const QString Blank = QStringLiteral(" ");
const QString Header = QStringLiteral("无,IP,侦测,主机名称,MAC 地址,TTL,标题");

// One section: its caption, the rule and the header, then its rows numbered from 1.
void AddSection(QStringList& out, const QString& caption, const ScanExportData& data,
                bool answered) {
    out << caption << QString(36, QLatin1Char('-')) << Header;
    int number = 0;
    for (size_t row = 0; row < data.table.size(); ++row) {
        const ScanRecord& r = data.table[row];
        if ((r.PingResult != ScanNoAnswer) != answered)
            continue;
        out << QStringList{QString::number(++number),
                           r.Address,
                           r.PingResult,
                           r.HostName,
                           r.MacAddress,
                           r.Ttl,
                           data.titles.value(qsizetype(row))}
                   .join(QLatin1Char(','));
    }
}

}  // namespace

QStringList ScanExportLines(const ScanExportData& data, const QString& scannedAt) {
    QStringList out{QStringLiteral(" IP 扫描在：") + scannedAt,
                    Blank,
                    Blank,
                    QStringLiteral("总数：") + data.total,
                    QStringLiteral("活动：") + data.active,
                    QStringLiteral("非活动：") + data.inactive,
                    Blank,
                    Blank};
    AddSection(out, QStringLiteral("活动："), data, true);
    out << Blank << Blank;
    AddSection(out, QStringLiteral("非活动："), data, false);
    out << Blank;
    return out;
}

void ExportScanResults(ExportFrame& frame, const ScanExportData& data, ExportFormat format,
                       const QDateTime& now) {
    if (data.table.empty()) {
        frame.prompts().message(NoScanDataMessage, MessageIcon::Information);
        return;
    }
    ExportJob job;
    job.title = QStringLiteral("保存 IP 扫描结果");
    job.defaultName = QStringLiteral("IP_扫描_结果_") + ShortTimeStamp(now);
    job.extension = ExportExtension(format);
    job.successText = QStringLiteral("IP 扫描结果已经导出文件：");
    job.errorText = [](const QString&) { return QStringLiteral("导出失败。"); };
    job.errorIcon = MessageIcon::Critical;
    job.lines = [&data, now] { return ScanExportLines(data, SystemDateTimeText(now)); };
    frame.WriteExport(job);
}

}  // namespace sondrel
