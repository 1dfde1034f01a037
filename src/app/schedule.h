#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace sondrel {

// A start or end time of the schedule, to the minute, as five texts: the year in four digits,
// month, day, hour and minute in two (a leading zero below 10).
struct ScheduleTime {
    QString year, month, day, hour, minute;

    bool operator==(const ScheduleTime&) const = default;
};

// The time of a moment; seconds are dropped.
ScheduleTime ScheduleTimeAt(const QDateTime& moment);

// What `ComboFrom` and `ComboTo` show: month/day/year hour:minute:00, "09/05/2024 14:30:00".
QString ScheduleDisplayText(const ScheduleTime& time);

// The five texts of a display text, taken by their character positions as the editor does.
ScheduleTime ScheduleTimeOfDisplay(const QString& text);

// The time the editor's five boxes give: month, day, hour and minute as whole numbers padded
// to two digits, the year as typed. Nothing, with the reason in `error`, unless they form a
// real date and time (no 31 April, no hour 24).
std::optional<ScheduleTime> EditedScheduleTime(const QString& year, const QString& month,
                                               const QString& day, const QString& hour,
                                               const QString& minute, QString* error);

// The start fires in its own minute: the clock has reached it when its minute is the same or
// later. A time whose texts are not numbers counts as reached, like a start in the past.
bool ScheduleStartReached(const QDateTime& now, const ScheduleTime& start);

// The end of a ping test as the test's own end check takes it.
QDateTime ScheduleMoment(const ScheduleTime& time);

// The items of the editor's boxes: this year and the two after it; months 1-12, days 1-31,
// hours 0-23, minutes 0-59, as plain numbers.
QStringList ScheduleYearItems(const QDateTime& now);
QStringList ScheduleNumberItems(int first, int last);

// The title line of an armed schedule.
QString ScheduledPingCaption(const QString& fromText, const QString& toText);
QString ScheduledTraceCaption(const QString& fromText);

}  // namespace sondrel
