#pragma once

#include <QLocale>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>
#include <limits>
#include <vector>

#include "db/db_setup.h"
#include "engine/reply_record.h"

namespace sondrel {

// The name a target's rows carry: its title without surrounding blanks; without a title the
// host-name part of its display text "host /address", up to and including the blank before
// " /"; otherwise empty.
QString CurrentTargetName(const QString& title, const QString& show);

// The eight values of one row, in column order: the address without blanks, the target name,
// the date in the system's short date format, the time in its long time format, the size, the
// round-trip time (0 below 1 ms, -1 without a reply), the TTL and the status text.
QStringList ReplyRowValues(const ReplyRecord& record, const QString& targetName);

// The insert of `rows` rows into the table of `setup`, the eight values of each as parameters:
// INSERT INTO table (c1,...,c8) VALUES (?,?,?,?,?,?,?,?)[,(?,...)...].
QString InsertStatementText(const QSqlDatabase& db, const DbSetup& setup, int rows = 1);

using RowValues = std::array<QString, 8>;

// The row values of the records of a run. The texts the record before had (date, time,
// address, size, status) and the small numbers are kept and shared, so that a row mostly costs
// no formatting at all.
class ReplyRowFormatter {
  public:
    void fill(const ReplyRecord& record, const QString& targetName, RowValues& out);
    QStringList values(const ReplyRecord& record, const QString& targetName);

  private:
    QString smallNumber(qint32 value);

    using Stamp = std::array<char, 14>;
    QLocale locale_ = QLocale::system();
    Stamp stamp_{};  // the date and time fields the texts belong to
    bool stamped_ = false;
    QString date_, time_;
    std::array<char, 15> address_{};
    QString addressText_;
    qint32 size_ = std::numeric_limits<qint32>::min(), status_ = 0;  // no record has this size
    QString sizeText_, statusText_;
    std::vector<QString> numbers_;  // -1 … SmallNumbers - 2, made on first use
};

}  // namespace sondrel
