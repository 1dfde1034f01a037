#include "report/summary_report.h"

#include <QHash>
#include <cmath>

#include "common/leading_number.h"
#include "common/text_file.h"
#include "engine/run_statistics.h"

namespace sondrel {

namespace {

ReportGroup openGroup(const ReplyRecord& first, StampFormatter& stamps) {
    ReportGroup g;
    g.fromText = RecordStamp(first);
    g.fromDateTime = stamps.dateTime(first);
    return g;
}

void addReply(ReportGroup& g, const ReplyRecord& r) {
    ++g.sent;
    g.ttlSum += r.ttl;
    if (r.time == -1)
        ++g.lost;
    else
        g.timeSum += r.time;
}

// CloseGroup: the span's end, the loss rate and the averages over the answered records.
void closeGroup(ReportGroup& g, const ReplyRecord& last, StampFormatter& stamps) {
    g.toText = RecordStamp(last);
    g.toDateTime = stamps.dateTime(last);
    g.lossRateText = LossRateText(g.lost, g.sent).leftJustified(8, QLatin1Char(' '), true);
    const qint32 received = g.sent - g.lost;
    if (received < 1) {
        g.averageTime = -1;
        g.averageTtl = 0;
    } else {
        g.averageTime = RoundedAverage(double(g.timeSum), received);
        g.averageTtl = RoundedAverage(double(g.ttlSum), received);
    }
}

// The records of a target that hold a probe, in record order.
QList<qint32> filledRecordsOf(const RunResults& run, qint32 target) {
    QList<qint32> indexes = run.recordsOf(target);
    while (!indexes.isEmpty() && run.records.at(indexes.last()).isBlank())
        indexes.removeLast();
    return indexes;
}

std::vector<ReportGroup> groupByPeriod(const RunResults& run, qint32 k, double period,
                                       StampFormatter& stamps) {
    std::vector<ReportGroup> groups;
    const QList<qint32> indexes = filledRecordsOf(run, k);
    if (indexes.isEmpty())
        return groups;
    qint64 startMinute = RecordMinute(run.records.at(indexes.first()));
    qint32 last = indexes.first();
    groups.push_back(openGroup(run.records.at(last), stamps));
    for (qint32 i : indexes) {
        const ReplyRecord& r = run.records.at(i);
        const qint64 minute = RecordMinute(r);
        if (double(minute - startMinute) >= period) {
            closeGroup(groups.back(), run.records.at(last), stamps);
            groups.push_back(openGroup(r, stamps));
            startMinute = minute;
        }
        addReply(groups.back(), r);
        last = i;
    }
    closeGroup(groups.back(), run.records.at(last), stamps);
    return groups;
}

// SizeSteps: the sizes from the first record on, each new size once, up to the first return
// to the first size.
QList<qint16> sizeSteps(const ReplyRecords& records, qint32 count) {
    QList<qint16> steps{records.at(0).size};
    qint16 current = steps.first();
    for (qint32 i = 1; i < count && steps.size() < 32767; ++i) {
        const qint16 size = records.at(i).size;
        if (size == current)
            continue;
        if (size == steps.first())
            break;
        steps.append(size);
        current = size;
    }
    return steps;
}

std::vector<ReportGroup> groupBySize(const RunResults& run, qint32 k, QList<qint16>& steps,
                                     StampFormatter& stamps) {
    QHash<qint16, qsizetype> stepOf;
    for (qsizetype s = 0; s < steps.size(); ++s)
        stepOf.insert(steps.at(s), s);
    std::vector<ReportGroup> groups(size_t(steps.size()));
    std::vector<qint32> lastOf(size_t(steps.size()), -1);
    for (qint32 i : filledRecordsOf(run, k)) {
        const ReplyRecord& r = run.records.at(i);
        auto found = stepOf.constFind(r.size);
        if (found == stepOf.cend()) {  // a size the sequence had not reached by its first turn
            found = stepOf.insert(r.size, steps.size());
            steps.append(r.size);
            groups.emplace_back();
            lastOf.push_back(-1);
        }
        const size_t s = size_t(*found);
        if (lastOf[s] < 0) {
            groups[s] = openGroup(r, stamps);
            groups[s].bufferSize = r.size;
        }
        addReply(groups[s], r);
        lastOf[s] = i;
    }
    std::vector<ReportGroup> closed;
    for (size_t s = 0; s < groups.size(); ++s) {
        if (lastOf[s] < 0)
            continue;
        closeGroup(groups[s], run.records.at(lastOf[s]), stamps);
        groups[s].fromText = groups[s].fromText.right(8);
        groups[s].toText = groups[s].toText.right(8);
        closed.push_back(std::move(groups[s]));
    }
    return closed;
}

}  // namespace

QString ReportRefusal(const RunResults& run) {
    const qint32 count = FilledRecordCount(run.records);
    if (count == 0)
        return NoReportDataMessage;
    if (run.targetCount() > count)
        return IncompleteRunMessage;
    return {};
}

QString PeriodForRun(const RunResults& run) {
    const qint32 count = FilledRecordCount(run.records);
    if (count == 0)
        return QStringLiteral("1");
    const qint64 tenths = MinutesBetween(run.records.at(0), run.records.at(count - 1)) / 10;
    return tenths > 0 ? QString::number(tenths) : QStringLiteral("1");
}

double PeriodOf(const QString& text) {
    return LeadingNumber(text);
}

bool PeriodTextRefused(const QString& text) {
    return !(PeriodOf(text) > 0);
}

SummaryReport BuildPeriodReport(const RunResults& run, double period, StampFormatter& stamps) {
    if (!(period > 0))
        period = 1;
    SummaryReport report;
    report.mode = ReportMode::Period;
    for (qint32 k = 0; k < run.targetCount(); ++k)
        report.targets.push_back(groupByPeriod(run, k, period, stamps));
    return report;
}

SummaryReport BuildSizeReport(const RunResults& run, StampFormatter& stamps) {
    SummaryReport report;
    report.mode = ReportMode::Size;
    const qint32 count = FilledRecordCount(run.records);
    if (count == 0)
        return report;
    report.sizeSteps = sizeSteps(run.records, count);
    for (qint32 k = 0; k < run.targetCount(); ++k)
        report.targets.push_back(groupBySize(run, k, report.sizeSteps, stamps));
    return report;
}

QString AverageTimeText(qint32 time) {
    if (time == 0)
        return QStringLiteral("<1 ms");
    if (time == -1)
        return QStringLiteral("---");
    return QString::number(time) + QStringLiteral(" ms");
}

QString AverageTimeNumber(qint32 time) {
    if (time == -1)
        return {};
    return QString::number(time);
}

QString LossRateBar(const QString& rateText) {
    QString number = rateText;
    number.remove(QStringLiteral(" %"));
    const std::optional<double> value = ToDouble(number);
    if (!value || !std::isfinite(*value) || *value < -2.5 || *value > 1e6)
        return QStringLiteral("-- Error --");
    const qint64 n = qint64(std::floor(*value + 2.5)) / 5;
    return QString(qsizetype(std::max<qint64>(n, 0)), QLatin1Char('='));
}

namespace {

void addRow(ReportColumns& c, const std::array<QString, 7>& cells) {
    for (size_t i = 0; i < 7; ++i)
        c.rows[i].append(cells[i]);
}

QString shownRate(const QString& rate) {
    const qsizetype length = TrimSpaces(rate).size();
    if (length == 7)
        return QStringLiteral("  ") + rate;
    if (length == 6)
        return QStringLiteral("    ") + rate;
    return rate;
}

QString spanText(const ReportGroup& g, ReportMode mode) {
    if (mode == ReportMode::Period)
        return g.fromText + QStringLiteral(" - ") + g.toText;
    return g.fromText + QStringLiteral(" - ") + g.toText + QStringLiteral("        ") +
           QString::number(g.bufferSize);
}

}  // namespace

ReportColumns ReportListColumns(const SummaryReport& report, const ExpandedTargets& targets) {
    ReportColumns c;
    c.spanHeading = report.mode == ReportMode::Period ? QStringLiteral("从        -        自")
                                                      : QStringLiteral("日期时间缓冲区");
    for (size_t k = 0; k < report.targets.size(); ++k) {
        addRow(c, {});
        addRow(c, {});
        const QString show = targets.targetShow.value(qsizetype(k));
        addRow(c, {QStringLiteral("侦测  ") + show.section(QLatin1Char('/'), 0, 0).trimmed() +
                   QStringLiteral(" :")});
        addRow(c, {});
        for (const ReportGroup& g : report.targets[k])
            addRow(c, {spanText(g, report.mode), QString::number(g.averageTtl),
                       QString::number(g.sent), QString::number(g.lost),
                       AverageTimeText(g.averageTime), shownRate(g.lossRateText),
                       LossRateBar(g.lossRateText)});
    }
    return c;
}

}  // namespace sondrel
