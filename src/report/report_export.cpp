#include "report/report_export.h"

#include <QStringBuilder>

#include "common/text_file.h"

namespace sondrel {

namespace {

const QChar Tab(QLatin1Char('\t'));

QString ipLine(const ExpandedTargets& targets, size_t k) {
    return QStringLiteral("IP: ") + targets.targetShow.value(qsizetype(k)) + QStringLiteral(" - ") +
           targets.targetTitle.value(qsizetype(k));
}

// The rate right-aligned in 8 characters, then its padding again (the stored text's tail).
QString alignedRate(const QString& stored) {
    const QString rate = TrimSpaces(stored);
    const QString pad(std::max<qsizetype>(8 - rate.size(), 0), QLatin1Char(' '));
    return pad + rate + pad;
}

QString textLine(const ReportGroup& g, ReportMode mode) {
    const QString tail = QString::number(g.averageTtl) % Tab % QString::number(g.sent) % Tab %
                         QString::number(g.lost) % Tab % AverageTimeText(g.averageTime) %
                         QStringLiteral("    ") % Tab % alignedRate(g.lossRateText);
    const QString span = g.fromDateTime % QStringLiteral(" - ") % g.toDateTime;
    if (mode == ReportMode::Period)
        return span % QStringLiteral("        ") % tail;
    return span % QStringLiteral("     ") % Tab % QString::number(g.bufferSize) %
           QStringLiteral("      ") % Tab % tail;
}

QString csvRow(const ReportGroup& g, ReportMode mode) {
    QStringList fields{g.fromDateTime, g.toDateTime};
    if (mode == ReportMode::Size)
        fields << QString::number(g.bufferSize);
    fields << QString::number(g.averageTtl) << QString::number(g.sent) << QString::number(g.lost)
           << AverageTimeNumber(g.averageTime) << g.lossRateText;
    return fields.join(QLatin1Char(','));
}

}  // namespace

QStringList ReportTextLines(const SummaryReport& report, const ExpandedTargets& targets) {
    const bool period = report.mode == ReportMode::Period;
    QStringList out{QStringLiteral(" ")};
    if (period)
        out << QStringLiteral("测试时间") % QString(42, QLatin1Char(' ')) % QStringLiteral("TTL") %
                   Tab % QStringLiteral("发送") % Tab % QStringLiteral("丢失") % Tab %
                   QStringLiteral("平均时间") % Tab % QStringLiteral("丢失率");
    else
        out << QStringLiteral("日期 时间") % QString(40, QLatin1Char(' ')) % Tab %
                   QStringLiteral("缓冲大小") % Tab % QStringLiteral("TTL") % Tab %
                   QStringLiteral("发送") % Tab % QStringLiteral("丢失") % Tab %
                   QStringLiteral("平均时间") % Tab % QStringLiteral("丢失率");
    out << QString(period ? 102 : 123, QLatin1Char('-'));
    for (size_t k = 0; k < report.targets.size(); ++k) {
        out << QString() << ipLine(targets, k) << QString();
        for (const ReportGroup& g : report.targets[k])
            out << textLine(g, report.mode);
        out << QString() << QStringLiteral(" ");
    }
    return out;
}

// The heading's words over the row's columns; the "to" column has no word of its own.
QStringList ReportCsvLines(const SummaryReport& report, const ExpandedTargets& targets) {
    QStringList out{QStringLiteral("侦测测试报告")};
    if (report.mode == ReportMode::Period)
        out << QStringLiteral("检测时间从,,TTL,发送,丢失,平均时间,丢失率");
    else
        out << QStringLiteral("检测时间从,,缓冲区的大小,TTL,发送,丢失,平均时间,丢失率");
    for (size_t k = 0; k < report.targets.size(); ++k) {
        out << ipLine(targets, k) << QString();
        for (const ReportGroup& g : report.targets[k])
            out << csvRow(g, report.mode);
        out << QString() << QStringLiteral(" ");
    }
    return out;
}

void ExportReport(ExportFrame& frame, const SummaryReport* report, const ExpandedTargets& targets,
                  bool hasData, const QString& stamp, ExportFormat format) {
    if (!hasData) {
        frame.prompts().message(NoReportDataMessage, MessageIcon::Critical);
        return;
    }
    if (report == nullptr) {
        frame.prompts().message(NoReportBuiltError + QStringLiteral("    "),
                                MessageIcon::Exclamation);
        return;
    }
    const bool csv = format == ExportFormat::Csv;
    ExportJob job;
    job.title = QStringLiteral("侦测测试报告将导出到此文件");
    job.defaultName = QStringLiteral("侦测_测试_报告_") + stamp;
    job.extension = ExportExtension(format);
    job.successText = QStringLiteral("侦测测试报告已导出到文件：");
    job.errorText = [](const QString& reason) { return reason + QStringLiteral("    "); };
    job.errorIcon = MessageIcon::Exclamation;
    job.lines = [report, &targets, csv] {
        return csv ? ReportCsvLines(*report, targets) : ReportTextLines(*report, targets);
    };
    frame.WriteExport(job);
}

}  // namespace sondrel
