#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <vector>

namespace sondrel {

// One probe, as kept in memory and in the run log. The date and time fields are stored texts
// (two digits each, four for the year); the address is padded with spaces or cut to 15.
struct ReplyRecord {
    std::array<char, 4> year{};
    std::array<char, 2> month{};
    std::array<char, 2> day{};
    std::array<char, 2> hour{};
    std::array<char, 2> minute{};
    std::array<char, 2> second{};
    std::array<char, 15> address{};
    qint16 size = 0;
    qint32 time = 0;  // ms; 0 below one millisecond; -1 without a successful reply
    qint16 ttl = 0;
    qint32 status = 0;

    // Fills the date and time fields from a moment.
    void setStamp(const QDateTime& when);
    void setAddress(const QString& text);
    QString addressText() const;  // as stored, padding included
    bool isBlank() const;         // never filled
    QDateTime dateTime() const;   // invalid when the fields do not form a date
};

// A reply line in two parts, as the results rows show it.
struct ReplyLine {
    QString prefix;
    QString detail;
};

// Fixed-width text of a stored field ("05", "2010").
template <size_t N>
QString FieldText(const std::array<char, N>& field) {
    return QString::fromLatin1(field.data(), qsizetype(N));
}

// "MM/dd HH:mm:ss" from the stored fields, as reply lines begin.
QString RecordStamp(const ReplyRecord& record);

// The reply line rebuilt from a stored record; both parts empty for a blank record.
ReplyLine ReplyLineFromRecord(const ReplyRecord& record);
// As ReplyLineFromRecord, the prefix led by the date and time in the system's formats.
ReplyLine DatedReplyLine(const ReplyRecord& record);
// The record's date and time in the system's short date and long time formats.
QString ReplyDateTime(const ReplyRecord& record);

// The run's records in send order. At most 100,000 are kept: after index 99999 the next probe
// writes index 0 again and the array shrinks to that one record.
class ReplyRecords {
  public:
    static constexpr qint32 Capacity = 100000;

    // The record the next probe fills (the array is extended to `index()`).
    ReplyRecord& beginProbe();
    // Moves on to the next index, wrapping after the last one.
    void endProbe();
    // Empties the array and leaves one blank record at index 0.
    void reset();
    // Replaces the contents (log reload); the index is that of the last record. `firstProbe`
    // is the number of probes of the run made before the first of `records`.
    void adopt(std::vector<ReplyRecord> records, qint64 firstProbe = 0);

    qint32 index() const { return index_; }
    qint32 lastIndex() const { return qint32(records_.size()) - 1; }
    const std::vector<ReplyRecord>& all() const { return records_; }
    const ReplyRecord& at(qint32 i) const { return records_.at(size_t(i)); }
    qint32 size() const { return qint32(records_.size()); }
    // The probes of the run made before record 0: a multiple of Capacity after wraps, or what
    // a reload of a longer log left out.
    qint64 firstProbe() const { return firstProbe_; }

  private:
    std::vector<ReplyRecord> records_{ReplyRecord{}};
    qint32 index_ = 0;
    qint64 firstProbe_ = 0;
};

}  // namespace sondrel
