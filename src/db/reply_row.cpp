#include "db/reply_row.h"

#include <algorithm>

#include "common/text_file.h"
#include "db/db_connection.h"
#include "engine/echo.h"

namespace sondrel {

namespace {

// Round-trip times and TTLs below this (and -1) are formatted once per run.
constexpr qint32 SmallNumbers = 1025;

template <size_t N>
char* copyField(char* to, const std::array<char, N>& field) {
    return std::copy(field.begin(), field.end(), to);
}

}  // namespace

QString CurrentTargetName(const QString& title, const QString& show) {
    const QString trimmed = TrimSpaces(title);
    if (!trimmed.isEmpty())
        return trimmed;
    const qsizetype slash = show.indexOf(QStringLiteral(" /"));
    return slash < 0 ? QString() : show.left(slash + 1);
}

QStringList ReplyRowValues(const ReplyRecord& record, const QString& targetName) {
    return ReplyRowFormatter().values(record, targetName);
}

QStringList ReplyRowFormatter::values(const ReplyRecord& record, const QString& targetName) {
    RowValues row;
    fill(record, targetName, row);
    return QStringList(row.begin(), row.end());
}

void ReplyRowFormatter::fill(const ReplyRecord& record, const QString& targetName, RowValues& out) {
    Stamp stamp;
    char* at = copyField(stamp.data(), record.year);
    at = copyField(copyField(at, record.month), record.day);
    copyField(copyField(copyField(at, record.hour), record.minute), record.second);
    if (!stamped_ || stamp != stamp_) {
        const QDateTime when = record.dateTime();
        date_ = when.isValid() ? locale_.toString(when.date(), QLocale::ShortFormat) : QString();
        time_ = when.isValid() ? locale_.toString(when.time(), QLocale::LongFormat) : QString();
        stamp_ = stamp;
        stamped_ = true;
    }
    if (addressText_.isNull() || record.address != address_) {
        address_ = record.address;
        addressText_ = TrimSpaces(record.addressText());
    }
    if (record.size != size_) {
        size_ = record.size;
        sizeText_ = QString::number(size_);
    }
    if (statusText_.isNull() || record.status != status_) {
        status_ = record.status;
        statusText_ = EchoStatusText(status_);
    }
    out = {addressText_,
           targetName,
           date_,
           time_,
           sizeText_,
           smallNumber(record.time),
           smallNumber(record.ttl),
           statusText_};
}

QString ReplyRowFormatter::smallNumber(qint32 value) {
    if (value < -1 || value >= SmallNumbers - 1)
        return QString::number(value);
    if (numbers_.empty())
        numbers_.resize(size_t(SmallNumbers));
    QString& text = numbers_[size_t(value + 1)];
    if (text.isNull())
        text = QString::number(value);
    return text;
}

QString InsertStatementText(const QSqlDatabase& db, const DbSetup& setup, int rows) {
    QStringList columns;
    for (int i = 0; i < 8; ++i)
        columns << StatementName(db, setup.columns.value(i), true);
    QStringList values(std::max(rows, 1), QStringLiteral("(?,?,?,?,?,?,?,?)"));
    return QStringLiteral("INSERT INTO ") + StatementName(db, setup.tableName) +
           QStringLiteral(" (") + columns.join(QLatin1Char(',')) + QStringLiteral(") VALUES ") +
           values.join(QLatin1Char(','));
}

}  // namespace sondrel
