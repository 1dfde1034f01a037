#include "app/schedule.h"

#include <tuple>

#include "common/leading_number.h"

namespace sondrel {

namespace {

int Number(const QString& text) {
    return WholeNumber(LeadingNumber(text));
}

using Minute = std::tuple<int, int, int, int, int>;

Minute MinuteOf(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute()};
}

Minute MinuteOf(const ScheduleTime& t) {
    return {Number(t.year), Number(t.month), Number(t.day), Number(t.hour), Number(t.minute)};
}

}  // namespace

ScheduleTime ScheduleTimeAt(const QDateTime& moment) {
    const auto part = [&moment](const char* format) {
        return moment.toString(QString::fromLatin1(format));
    };
    return {part("yyyy"), part("MM"), part("dd"), part("HH"), part("mm")};
}

QString ScheduleDisplayText(const ScheduleTime& t) {
    return t.month + QLatin1Char('/') + t.day + QLatin1Char('/') + t.year + QLatin1Char(' ') +
           t.hour + QLatin1Char(':') + t.minute + QStringLiteral(":00");
}

ScheduleTime ScheduleTimeOfDisplay(const QString& text) {
    return {text.mid(6, 4), text.left(2), text.mid(3, 2), text.mid(11, 2), text.mid(14, 2)};
}

std::optional<ScheduleTime> EditedScheduleTime(const QString& year, const QString& month,
                                               const QString& day, const QString& hour,
                                               const QString& minute, QString* error) {
    bool yearOk = false;
    const int y = year.trimmed().toInt(&yearOk);
    const QDate date(y, Number(month), Number(day));
    const QTime time(Number(hour), Number(minute));
    if (!yearOk || !date.isValid() || !time.isValid()) {
        *error = QStringLiteral("无效的日期或时间");
        return std::nullopt;
    }
    const ScheduleTime padded = ScheduleTimeAt(QDateTime(date, time));
    return ScheduleTime{year, padded.month, padded.day, padded.hour, padded.minute};
}

bool ScheduleStartReached(const QDateTime& now, const ScheduleTime& start) {
    return MinuteOf(now) >= MinuteOf(start);
}

QDateTime ScheduleMoment(const ScheduleTime& t) {
    return QDateTime(QDate(Number(t.year), Number(t.month), Number(t.day)),
                     QTime(Number(t.hour), Number(t.minute)));
}

QStringList ScheduleYearItems(const QDateTime& now) {
    const int year = now.date().year();
    return {QString::number(year), QString::number(year + 1), QString::number(year + 2)};
}

QStringList ScheduleNumberItems(int first, int last) {
    QStringList items;
    for (int n = first; n <= last; ++n)
        items << QString::number(n);
    return items;
}

QString ScheduledPingCaption(const QString& fromText, const QString& toText) {
    return QStringLiteral("侦测测试将会自动运行：") + fromText + QStringLiteral("  到  ") + toText;
}

QString ScheduledTraceCaption(const QString& fromText) {
    return QStringLiteral("跟踪路径将自动运行：") + fromText;
}

}  // namespace sondrel
