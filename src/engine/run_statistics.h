#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace sondrel {

// Run-wide counters over all targets together. The counters are floating point holding whole
// values; the minimum stays 999999 until the first successful reply.
struct RunStatistics {
    static constexpr qint32 NoMinimum = 999999;

    QString firstAddress;
    qint32 avgRtt = 0;
    qint32 minRtt = 0;
    qint32 maxRtt = 0;
    qint32 avgTtl = 0;
    double sentCount = 0;
    double rttSum = 0;
    double ttlSum = 0;
    double lostCount = 0;
    QString lastReplyLine;

    // All numbers 0, texts blank (the start then sets the minimum to NoMinimum).
    void reset();
    // Takes one successful reply of `time` ms (0 below one millisecond) and `ttl` into account.
    void addSuccess(qint32 time, qint32 ttl);
    void addLoss() { lostCount += 1; }
};

// The eight summary items in display order: sent, received, lost, loss rate, minimum,
// maximum and average time, average TTL.
using SummaryTexts = std::array<QString, 8>;

// The headings shown beside the summary values.
const QStringList& SummaryHeadings();

// The summary values of the statistics. A minimum, maximum or average of 0 is raised to 1 in
// the statistics themselves once a reply has come (a sub-millisecond reply shows "1 ms").
SummaryTexts SummaryFromStatistics(RunStatistics& stats);

// Lost ÷ sent rounded to four places (ties to even), as a percentage with two decimals.
QString LossRateText(double lost, double sent);

// ⌊sum ÷ count + 0.5⌋, 0 when count is below 1.
qint32 RoundedAverage(double sum, double count);

}  // namespace sondrel
