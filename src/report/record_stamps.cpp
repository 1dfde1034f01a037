#include "report/record_stamps.h"

#include <QDate>
#include <algorithm>
#include <vector>

namespace sondrel {

namespace {

template <size_t N>
int digits(const std::array<char, N>& field) {
    int value = 0;
    for (char c : field)
        if (c >= '0' && c <= '9')
            value = value * 10 + (c - '0');
    return value;
}

}  // namespace

// A time in a locale's time format (h, hh, H, HH, m, mm, s, ss, z, zzz, AP, ap, t and quoted
// text), read once into pieces, the zone abbreviation looked up once: asking the locale for
// every record would parse the format and look the zone up each time, and cost more than the
// rest of an export.
class TimeFormat {
  public:
    TimeFormat(const QLocale& locale, const QString& format) {
        const QString zone = locale.toString(QTime(0, 0), QStringLiteral("t"));
        const qsizetype n = format.size();
        for (qsizetype i = 0; i < n;) {
            const QChar c = format.at(i);
            qsizetype run = 1;
            while (i + run < n && format.at(i + run) == c)
                ++run;
            if (c == QLatin1Char('\'')) {
                const qsizetype close = format.indexOf(QLatin1Char('\''), i + 1);
                const qsizetype stop = close < 0 ? n : close;
                literal(stop == i + 1 ? QStringLiteral("'") : format.mid(i + 1, stop - i - 1));
                i = stop + 1;
                continue;
            }
            const char token = c.toLatin1();
            if (token == 'h' || token == 'H' || token == 'm' || token == 's') {
                const Kind kind = token == 'h'   ? Hour
                                  : token == 'H' ? Hour24
                                  : token == 'm' ? Minute
                                                 : Second;
                pieces_.push_back({kind, run >= 2 ? 2 : 1, {}, {}});
                i += std::min<qsizetype>(run, 2);
            } else if (token == 'z') {
                literal(run >= 3 ? QStringLiteral("000") : QStringLiteral("0"));
                i += std::min<qsizetype>(run, 3);
            } else if ((token == 'A' || token == 'a') && i + 1 < n &&
                       format.at(i + 1).toLower() == QLatin1Char('p')) {
                const bool upper = token == 'A';
                pieces_.push_back({AmPm, 0,
                                   upper ? locale.amText().toUpper() : locale.amText().toLower(),
                                   upper ? locale.pmText().toUpper() : locale.pmText().toLower()});
                twelve_ = true;
                i += 2;
            } else if (token == 't') {
                literal(zone);
                i += run;
            } else {
                literal(QString(run, c));
                i += run;
            }
        }
    }

    void append(QString& out, int h, int m, int s) const {
        for (const Piece& piece : pieces_) {
            switch (piece.kind) {
                case Literal:
                    out += piece.text;
                    break;
                case AmPm:
                    out += h < 12 ? piece.text : piece.other;
                    break;
                default:
                    appendField(out, valueOf(piece.kind, h, m, s), piece.width);
            }
        }
    }

  private:
    enum Kind { Literal, Hour, Hour24, Minute, Second, AmPm };
    struct Piece {
        Kind kind;
        int width;
        QString text;   // the literal, or the morning text
        QString other;  // the afternoon text
    };

    void literal(const QString& text) {
        if (!pieces_.empty() && pieces_.back().kind == Literal)
            pieces_.back().text += text;
        else
            pieces_.push_back({Literal, 0, text, {}});
    }
    int valueOf(Kind kind, int h, int m, int s) const {
        switch (kind) {
            case Hour:
                return twelve_ ? (h % 12 == 0 ? 12 : h % 12) : h;
            case Hour24:
                return h;
            case Minute:
                return m;
            default:
                return s;
        }
    }
    static void appendField(QString& out, int value, int width) {
        const QChar digits[2] = {QChar(u'0' + value / 10 % 10), QChar(u'0' + value % 10)};
        if (value >= 10 || width == 2)
            out.append(digits, 2);
        else
            out.append(digits + 1, 1);
    }

    std::vector<Piece> pieces_;
    bool twelve_ = false;
};

StampFormatter::StampFormatter() : StampFormatter(QLocale::system()) {}

StampFormatter::StampFormatter(const QLocale& locale)
    : locale_(locale), timeFormat_(locale_.timeFormat(QLocale::LongFormat)) {}

StampFormatter::StampFormatter(QString dateFormat, QString timeFormat)
    : system_(false),
      locale_(QLocale::c()),
      dateFormat_(std::move(dateFormat)),
      timeFormat_(std::move(timeFormat)) {}

namespace {

// The number of a stored field whose characters are all digits; -1 otherwise.
template <size_t N>
int strictDigits(const char* field) {
    int value = 0;
    for (size_t i = 0; i < N; ++i) {
        if (field[i] < '0' || field[i] > '9')
            return -1;
        value = value * 10 + (field[i] - '0');
    }
    return value;
}

}  // namespace

// Consecutive records share their date and mostly their second: the texts are made again
// only when the fields change.
bool StampFormatter::refresh(const ReplyRecord& r) {
    const std::array<char, 8> date{r.year[0],  r.year[1],  r.year[2], r.year[3],
                                   r.month[0], r.month[1], r.day[0],  r.day[1]};
    const std::array<char, 6> time{r.hour[0],   r.hour[1],   r.minute[0],
                                   r.minute[1], r.second[0], r.second[1]};
    const bool newDate = !haveDate_ || date != lastDate_;
    const bool newTime = !haveTime_ || time != lastTime_;
    if (!newDate && !newTime)
        return true;
    if (newDate) {
        const QDate day(strictDigits<4>(r.year.data()), strictDigits<2>(r.month.data()),
                        strictDigits<2>(r.day.data()));
        if (!day.isValid())
            return forget();
        dateText_ = system_ ? locale_.toString(day, QLocale::ShortFormat)
                            : locale_.toString(day, dateFormat_);
        lastDate_ = date;
        haveDate_ = true;
    }
    if (newTime) {
        const int h = strictDigits<2>(r.hour.data());
        const int m = strictDigits<2>(r.minute.data());
        const int s = strictDigits<2>(r.second.data());
        if (!QTime::isValid(h, m, s))
            return forget();
        if (!times_)
            times_ = std::make_shared<const TimeFormat>(locale_, timeFormat_);
        timeText_.resize(0);  // keeps its room for the next second
        times_->append(timeText_, h, m, s);
        lastTime_ = time;
        haveTime_ = true;
    }
    text_.resize(0);
    text_ += dateText_;
    text_ += QLatin1Char(' ');
    text_ += timeText_;
    return true;
}

// After a record that was no date and time, the next one builds its texts afresh.
bool StampFormatter::forget() {
    haveDate_ = false;
    haveTime_ = false;
    return false;
}

QString StampFormatter::dateTime(const ReplyRecord& r) {
    return refresh(r) ? text_ : QString();
}

bool StampFormatter::appendDateTime(QString& out, const ReplyRecord& r) {
    if (!refresh(r))
        return false;
    out += text_;
    return true;
}

qint64 RecordMinute(const ReplyRecord& r) {
    const QDate date(digits(r.year), digits(r.month), digits(r.day));
    const qint64 day = date.isValid() ? date.toJulianDay() : 0;
    return day * 1440 + digits(r.hour) * 60 + digits(r.minute);
}

qint32 FilledRecordCount(const ReplyRecords& records) {
    qint32 count = records.size();
    if (count > 0 && records.at(count - 1).isBlank())
        --count;
    return count;
}

}  // namespace sondrel
