#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "engine/run_results.h"
#include "report/record_stamps.h"

namespace sondrel {

inline const QString NoReportDataMessage = QStringLiteral("没有要生成报告的数据。");
inline const QString IncompleteRunMessage = QStringLiteral("侦测测试不能完成，无法生成报告。");

// One group of one target's replies: a time period or one buffer size.
struct ReportGroup {
    QString fromText;  // MM/DD hh:mm:ss of the first record (time of day only by size)
    QString toText;
    QString fromDateTime;  // system short date + " " + long time
    QString toDateTime;
    qint16 bufferSize = 0;
    qint32 sent = 0;
    qint32 lost = 0;
    QString lossRateText = QStringLiteral("--------");  // 8 characters
    qint32 averageTime = -1;                            // ms; -1 without an answered record
    qint32 averageTtl = 0;
    // Sums while the group is open.
    qint64 timeSum = 0;
    qint64 ttlSum = 0;
};

enum class ReportMode { Period = 0, Size = 1 };

// The last build: each target's groups in time order, the mode, and after a size build the
// sizes of the stepped sequence.
struct SummaryReport {
    ReportMode mode = ReportMode::Period;
    std::vector<std::vector<ReportGroup>> targets;
    QList<qint16> sizeSteps;
};

// Why a report cannot be built: no data, or fewer records than targets. Empty when it can.
QString ReportRefusal(const RunResults& run);

// The period box after activation: the run's length in minutes ÷ 10, at least 1.
QString PeriodForRun(const RunResults& run);
// The numeric reading of the period box; a text reading 0 or less is turned into "1".
double PeriodOf(const QString& text);
bool PeriodTextRefused(const QString& text);

// By time period: a group closes at the first record `period` or more whole minutes after the
// group's first record. A period that is not positive counts as 1.
SummaryReport BuildPeriodReport(const RunResults& run, double period, StampFormatter& stamps);
// By buffer size: one group per size of the stepped sequence, holding the target's records
// at that size from every cycle of the sequence.
SummaryReport BuildSizeReport(const RunResults& run, StampFormatter& stamps);

// "<1 ms" for 0, "---" for -1, else the time and " ms".
QString AverageTimeText(qint32 time);
// "0" for 0, "" for -1, else the number.
QString AverageTimeNumber(qint32 time);
// One "=" per 5 % of loss, rounded at 2.5; "-- Error --" for a text that is no rate.
QString LossRateBar(const QString& rateText);

// The seven report columns as the dialog's lists show them, and the span column's heading.
struct ReportColumns {
    std::array<QStringList, 7> rows;
    QString spanHeading;
};
ReportColumns ReportListColumns(const SummaryReport& report, const ExpandedTargets& targets);

}  // namespace sondrel
