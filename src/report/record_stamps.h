#pragma once

#include <QLocale>
#include <QString>
#include <array>
#include <memory>

#include "engine/reply_record.h"

namespace sondrel {

class TimeFormat;

// The date and time of records as the exports and reports write them: the date in the system's
// short date format, a space, the time in its long time format. Consecutive records mostly
// share their date and often their second, so the last texts are kept for the next record.
class StampFormatter {
  public:
    // The system's formats, as ReplyDateTime writes them.
    StampFormatter();
    // The short date and long time formats of `locale`.
    explicit StampFormatter(const QLocale& locale);
    // Fixed formats in the C locale (scripts and tests that need the same bytes everywhere).
    StampFormatter(QString dateFormat, QString timeFormat);

    // "" for a record whose fields do not form a date and time.
    QString dateTime(const ReplyRecord& record);
    // Appends the same text to `out`; false (nothing appended) for such a record.
    bool appendDateTime(QString& out, const ReplyRecord& record);

  private:
    bool refresh(const ReplyRecord& record);
    bool forget();

    std::shared_ptr<const TimeFormat> times_;
    bool system_ = true;
    QLocale locale_;
    QString dateFormat_;
    QString timeFormat_;
    std::array<char, 8> lastDate_{};
    std::array<char, 6> lastTime_{};
    QString dateText_;
    QString timeText_;
    QString text_;  // date, space, time
    bool haveDate_ = false;
    bool haveTime_ = false;
};

// Minutes from the start of the calendar to the record's minute (seconds ignored), so that
// the difference of two records is MinutesBetween. Fields that are no number count as 0.
qint64 RecordMinute(const ReplyRecord& record);

// (date of b − date of a) in days × 1440 + hours × 60 + minutes; seconds play no part.
inline qint64 MinutesBetween(const ReplyRecord& a, const ReplyRecord& b) {
    return RecordMinute(b) - RecordMinute(a);
}

// The records of a run that hold a probe: all but a last one still blank (a probe under way,
// or the blank record of a run that made none). 0 when there is none (no run, no data).
qint32 FilledRecordCount(const ReplyRecords& records);

}  // namespace sondrel
