#include "report/ping_export.h"

#include <QStringBuilder>
#include <charconv>

#include "engine/echo.h"

namespace sondrel {

namespace {

const QString Blank = QStringLiteral(" ");
const QString TwoBlanks = QStringLiteral("  ");

QString whole(double value) {
    return QString::number(qint64(value));
}

// The minimum, maximum and average time; a 0 is written as 1 once a reply has come.
struct Times {
    bool none = true;
    qint32 min = 0, max = 0, avg = 0;
};

Times timesOf(const RunStatistics& s) {
    Times t;
    t.none = s.minRtt == RunStatistics::NoMinimum;
    if (!t.none) {
        t.min = s.minRtt == 0 ? 1 : s.minRtt;
        t.max = s.maxRtt == 0 ? 1 : s.maxRtt;
        t.avg = s.avgRtt == 0 ? 1 : s.avgRtt;
    }
    return t;
}

QString span(const RunResults& run, StampFormatter& stamps) {
    const qint32 last = FilledRecordCount(run.records) - 1;
    return stamps.dateTime(run.records.at(0)) % QStringLiteral("  -  ") %
           stamps.dateTime(run.records.at(last));
}

// The indexes of a target's records, without the blank record of a probe under way.
QList<qint32> filledRecordsOf(const RunResults& run, qint32 target) {
    QList<qint32> indexes = run.recordsOf(target);
    while (!indexes.isEmpty() && run.records.at(indexes.last()).isBlank())
        indexes.removeLast();
    return indexes;
}

void addTextSummary(QStringList& out, const RunStatistics& s) {
    out << (QStringLiteral("发送：") + whole(s.sentCount))
        << (QStringLiteral("收到：") + whole(s.sentCount - s.lostCount))
        << (QStringLiteral("丢失:       ") + whole(s.lostCount))
        << (QStringLiteral("丢失率：") + LossRateText(s.lostCount, s.sentCount));
    const Times t = timesOf(s);
    if (t.none) {
        out << QStringLiteral("最小时间： 0 毫秒") << QStringLiteral("最长时间： 0 毫秒")
            << QStringLiteral("平均时间： 0 毫秒");
    } else {
        out << (QStringLiteral("最小时间") + QString::number(t.min) + QStringLiteral(" ms"))
            << (QStringLiteral("最大时间") + QString::number(t.max) + QStringLiteral(" ms"))
            << (QStringLiteral("平均时间") + QString::number(t.avg) + QStringLiteral(" ms"));
    }
    out << (QStringLiteral("平均 TTL:    ") + QString::number(s.avgTtl));
}

void addCsvSummary(QStringList& out, const RunStatistics& s) {
    out << (QStringLiteral("发送，") + whole(s.sentCount))
        << (QStringLiteral("收到，") + whole(s.sentCount - s.lostCount))
        << (QStringLiteral("丢失,") + whole(s.lostCount))
        << (QStringLiteral("丢失率，") + LossRateText(s.lostCount, s.sentCount));
    const Times t = timesOf(s);
    if (t.none) {
        out << QStringLiteral("最小时间，0 毫秒") << QStringLiteral("最大时间，0 毫秒")
            << QStringLiteral("平均时间，0 毫秒");
    } else {
        out << (QStringLiteral("最短时间") + QString::number(t.min) + QStringLiteral(" ms"))
            << (QStringLiteral("最长时间") + QString::number(t.max) + QStringLiteral(" ms"))
            << (QStringLiteral("平均时间") + QString::number(t.avg) + QStringLiteral(" ms"));
    }
    out << (QStringLiteral("平均 TTL,") + QString::number(s.avgTtl));
}

QString targetLine(const ExpandedTargets& targets, qint32 k) {
    const QString& title = targets.targetTitle.at(k);
    const QString& show = targets.targetShow.at(k);
    if (title.isEmpty())
        return QStringLiteral("侦测  ") % show % QLatin1Char(':');
    return QStringLiteral("侦测  ") % title % QStringLiteral(" - ") % show % QLatin1Char(':');
}

// The lines of an export are made by appending into one text each: a record costs a few
// copies, not a text per field.
void appendNumber(QString& out, qint64 value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out += QLatin1String(digits, qsizetype(end - digits));
}

template <size_t N>
void appendField(QString& out, const std::array<char, N>& field) {
    out += QLatin1String(field.data(), qsizetype(N));
}

// The address without the blanks around it.
void appendAddress(QString& out, const ReplyRecord& r) {
    const auto blank = [](char c) { return QChar(QLatin1Char(c)).isSpace(); };
    size_t first = 0;
    size_t last = r.address.size();
    while (first < last && blank(r.address[first]))
        ++first;
    while (last > first && blank(r.address[last - 1]))
        --last;
    out += QLatin1String(r.address.data() + first, qsizetype(last - first));
}

// The detail of the record's reply line: size, then time and TTL, or the status text.
void appendDetail(QString& out, const ReplyRecord& r) {
    out += QLatin1String("bytes=");
    appendNumber(out, r.size);
    if (r.time == -1) {
        out += TwoBlanks;
        out += EchoStatusText(r.status);
        return;
    }
    if (r.time > 0) {
        out += QStringView(u"  时间=");
        appendNumber(out, r.time);
    } else {
        out += QLatin1String("  time<1");
    }
    out += QLatin1String("ms  TTL=");
    appendNumber(out, r.ttl);
    out += QLatin1String("  ok");
}

// A line is made in `line`, whose room is kept from one line to the next, and then copied
// at its exact size.
QString detailLine(QString& line, qint32 number, const ReplyRecord& r, StampFormatter& stamps) {
    line.resize(0);
    appendNumber(line, number);
    line += QLatin1String(". ");
    stamps.appendDateTime(line, r);
    line += QStringView(u"   回覆 ");
    appendAddress(line, r);
    line += TwoBlanks;
    appendDetail(line, r);
    return QString(line.constData(), line.size());
}

QString csvRow(QString& row, qint32 number, const ReplyRecord& r, const QString& showTitle) {
    const QLatin1Char c(',');
    row.resize(0);
    appendNumber(row, number);
    row += QLatin1String(".,");
    appendField(row, r.year);
    row += c;
    appendField(row, r.month);
    row += c;
    appendField(row, r.day);
    row += c;
    appendField(row, r.hour);
    row += c;
    appendField(row, r.minute);
    row += c;
    appendField(row, r.second);
    row += showTitle;  // ",show,title,"
    appendNumber(row, r.size);
    row += c;
    if (r.time != -1)
        appendNumber(row, r.time);
    row += c;
    appendNumber(row, r.ttl);
    row += c;
    row += EchoStatusText(r.status);
    return QString(row.constData(), row.size());
}

}  // namespace

QString ExportStamp(const QString& lastReplyLine) {
    QString stamp = lastReplyLine.left(12);
    stamp.remove(QLatin1Char('/'));
    stamp.remove(QLatin1Char(':'));
    stamp.remove(QLatin1Char(' '));
    return stamp;
}

QStringList PingTextLines(const RunResults& run, StampFormatter& stamps) {
    QStringList out;
    QString scratch;
    out.reserve(run.records.size() + 12 + 5 * run.targetCount());
    out << (QStringLiteral(" 侦测测试在 :  ") + span(run, stamps)) << Blank << Blank << Blank
        << QStringLiteral("结果：") << Blank;
    addTextSummary(out, run.statistics);
    out << Blank << Blank << QStringLiteral("详细信息：") << Blank;
    for (qint32 k = 0; k < run.targetCount(); ++k) {
        out << TwoBlanks << TwoBlanks << targetLine(run.targets, k) << TwoBlanks;
        qint32 number = 0;
        for (qint32 i : filledRecordsOf(run, k))
            out << detailLine(scratch, ++number, run.records.at(i), stamps);
        out << TwoBlanks;
    }
    out << Blank;
    return out;
}

QStringList PingCsvLines(const RunResults& run, StampFormatter& stamps) {
    QStringList out;
    QString scratch;
    out.reserve(run.records.size() + 12 + run.targetCount());
    out << (QStringLiteral("侦测测试，") + span(run, stamps)) << Blank << Blank << Blank
        << QStringLiteral("结果：") << Blank;
    addCsvSummary(out, run.statistics);
    out << Blank << Blank << QStringLiteral("详细信息：") << Blank
        << QStringLiteral(
               "号,年,月,日,小时,分钟,秒,IP,主机,发送缓冲大小 （字节）,时间 "
               "（毫秒）,TTL,状态");
    for (qint32 k = 0; k < run.targetCount(); ++k) {
        const QChar c(QLatin1Char(','));
        const QString showTitle =
            c % run.targets.targetShow.at(k) % c % run.targets.targetTitle.at(k) % c;
        qint32 number = 0;
        for (qint32 i : filledRecordsOf(run, k))
            out << csvRow(scratch, ++number, run.records.at(i), showTitle);
        out << TwoBlanks;
    }
    out << Blank;
    return out;
}

void ExportPingResults(ExportFrame& frame, const RunResults& run, ExportFormat format) {
    if (FilledRecordCount(run.records) == 0) {
        frame.prompts().message(NoExportDataMessage, MessageIcon::Information);
        return;
    }
    const bool csv = format == ExportFormat::Csv;
    ExportJob job;
    job.title = QStringLiteral("侦测 测试结果将导出到此文件");
    job.defaultName = QStringLiteral("侦测_测试_日志_") + ExportStamp(run.statistics.lastReplyLine);
    job.extension = ExportExtension(format);
    job.successText = QStringLiteral("侦测 测试结果已导出到文件：");
    job.errorText = [csv](const QString& reason) {
        return reason + (csv ? QStringLiteral("    exp 侦测 to csv")
                             : QStringLiteral("    exp 侦测 to txt"));
    };
    job.lines = [&run, csv] {
        StampFormatter stamps;
        return csv ? PingCsvLines(run, stamps) : PingTextLines(run, stamps);
    };
    frame.WriteExport(job);
}

}  // namespace sondrel
