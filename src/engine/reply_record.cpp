#include "engine/reply_record.h"

#include <QLocale>
#include <algorithm>

#include "engine/echo.h"

namespace sondrel {

namespace {

// Writes the last N decimal digits of a non-negative value, zero-padded.
template <size_t N>
void putNumber(std::array<char, N>& field, int value) {
    for (size_t i = N; i-- > 0; value /= 10)
        field[i] = char('0' + value % 10);
}

template <size_t N>
int fieldNumber(const std::array<char, N>& field, bool* ok) {
    return QByteArray(field.data(), qsizetype(N)).trimmed().toInt(ok);
}

}  // namespace

void ReplyRecord::setStamp(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    putNumber(year, d.year());
    putNumber(month, d.month());
    putNumber(day, d.day());
    putNumber(hour, t.hour());
    putNumber(minute, t.minute());
    putNumber(second, t.second());
}

void ReplyRecord::setAddress(const QString& text) {
    const QByteArray bytes = text.toLatin1().leftJustified(qsizetype(address.size()), ' ', true);
    std::copy_n(bytes.constData(), address.size(), address.data());
}

QString ReplyRecord::addressText() const {
    return FieldText(address);
}

bool ReplyRecord::isBlank() const {
    return std::all_of(year.begin(), year.end(), [](char c) { return c == 0; });
}

QDateTime ReplyRecord::dateTime() const {
    bool ok[6];
    const QDate d(fieldNumber(year, &ok[0]), fieldNumber(month, &ok[1]), fieldNumber(day, &ok[2]));
    const QTime t(fieldNumber(hour, &ok[3]), fieldNumber(minute, &ok[4]),
                  fieldNumber(second, &ok[5]));
    if (!std::all_of(ok, ok + 6, [](bool b) { return b; }) || !d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t);
}

static QString replyDetail(const ReplyRecord& r) {
    const QString bytes = QStringLiteral("bytes=") + QString::number(r.size);
    if (r.time == -1)
        return bytes + QStringLiteral("  ") + EchoStatusText(r.status);
    const QString time = r.time > 0 ? QStringLiteral("  时间=") + QString::number(r.time)
                                    : QStringLiteral("  time<1");
    return bytes + time + QStringLiteral("ms  TTL=") + QString::number(r.ttl) +
           QStringLiteral("  ok");
}

static QString addressPart(const ReplyRecord& r) {
    return QStringLiteral("   回覆 ") + r.addressText().trimmed();
}

QString RecordStamp(const ReplyRecord& r) {
    const char stamp[14] = {r.month[0],  r.month[1], '/',         r.day[0],   r.day[1],
                            ' ',         r.hour[0],  r.hour[1],   ':',        r.minute[0],
                            r.minute[1], ':',        r.second[0], r.second[1]};
    return QString::fromLatin1(stamp, sizeof stamp);
}

ReplyLine ReplyLineFromRecord(const ReplyRecord& r) {
    if (r.isBlank())
        return {};
    return {RecordStamp(r) + addressPart(r), replyDetail(r)};
}

QString ReplyDateTime(const ReplyRecord& r) {
    const QDateTime when = r.dateTime();
    if (!when.isValid())
        return {};
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), QLocale::LongFormat);
}

ReplyLine DatedReplyLine(const ReplyRecord& r) {
    const QString when = ReplyDateTime(r);
    if (when.isEmpty())
        return {};
    return {when + addressPart(r), replyDetail(r)};
}

ReplyRecord& ReplyRecords::beginProbe() {
    records_.resize(size_t(index_) + 1);
    records_[size_t(index_)] = ReplyRecord{};
    return records_[size_t(index_)];
}

void ReplyRecords::endProbe() {
    ++index_;
    if (index_ > Capacity - 1) {
        index_ = 0;
        firstProbe_ += Capacity;
    }
}

void ReplyRecords::reset() {
    records_.assign(1, ReplyRecord{});
    index_ = 0;
    firstProbe_ = 0;
}

void ReplyRecords::adopt(std::vector<ReplyRecord> records, qint64 firstProbe) {
    records_ = std::move(records);
    firstProbe_ = std::max<qint64>(0, firstProbe);
    if (records_.empty())
        records_.assign(1, ReplyRecord{});
    index_ = lastIndex();
}

}  // namespace sondrel
