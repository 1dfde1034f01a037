#include "engine/run_statistics.h"

#include <cmath>

namespace sondrel {

void RunStatistics::reset() {
    *this = RunStatistics{};
    firstAddress = QString(15, QLatin1Char(' '));
    lastReplyLine = QString(100, QLatin1Char(' '));
}

qint32 RoundedAverage(double sum, double count) {
    if (count < 1)
        return 0;
    return qint32(std::floor(sum / count + 0.5));
}

void RunStatistics::addSuccess(qint32 time, qint32 ttl) {
    rttSum += time;
    maxRtt = std::max(maxRtt, time);
    minRtt = std::min(minRtt, time);
    ttlSum += ttl;
    const double received = sentCount - lostCount;
    avgRtt = RoundedAverage(rttSum, received);
    avgTtl = RoundedAverage(ttlSum, received);
}

const QStringList& SummaryHeadings() {
    static const QStringList headings{QStringLiteral("发送"),     QStringLiteral("收到"),
                                      QStringLiteral("丢失"),     QStringLiteral("丢失率"),
                                      QStringLiteral("最小时间"), QStringLiteral("最大时间"),
                                      QStringLiteral("平均时间"), QStringLiteral("平均 TTL")};
    return headings;
}

QString LossRateText(double lost, double sent) {
    if (sent <= 0)
        return QStringLiteral("0.00 %");
    // Hundredths of a percent: the ratio rounded to four places, ties to even.
    const double hundredths = std::nearbyint(lost / sent * 10000.0);
    const qint64 h = qint64(hundredths);
    return QStringLiteral("%1.%2 %").arg(h / 100).arg(h % 100, 2, 10, QLatin1Char('0'));
}

static QString wholeText(double value) {
    return QString::number(qint64(value));
}

SummaryTexts SummaryFromStatistics(RunStatistics& s) {
    SummaryTexts out;
    out[0] = wholeText(s.sentCount);
    out[1] = wholeText(s.sentCount - s.lostCount);
    out[2] = wholeText(s.lostCount);
    out[3] = LossRateText(s.lostCount, s.sentCount);
    if (s.minRtt == RunStatistics::NoMinimum) {
        out[4] = out[5] = out[6] = QStringLiteral("0 ms");
    } else {
        for (qint32* value : {&s.minRtt, &s.maxRtt, &s.avgRtt})
            if (*value == 0)
                *value = 1;
        out[4] = QString::number(s.minRtt) + QStringLiteral(" ms");
        out[5] = QString::number(s.maxRtt) + QStringLiteral(" ms");
        out[6] = QString::number(s.avgRtt) + QStringLiteral(" ms");
    }
    out[7] = QString::number(s.avgTtl);
    return out;
}

}  // namespace sondrel
