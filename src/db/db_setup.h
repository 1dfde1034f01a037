#pragma once

#include <QString>
#include <QStringList>

namespace sondrel {

inline const QString DbSetupFileName = QStringLiteral("Quibbet_DB9.txt");

// Where database logging writes: the source kind, its connection fields, the table and the
// eight column names. Kind "0" means nothing is set up.
struct DbSetup {
    QString dbKind = QStringLiteral("0");
    QString accessPath, accessPassword;
    QString sqlServer, sqlAuthentication, sqlLogin, sqlPassword, sqlDatabase;
    QString odbcDsn, odbcLogin, odbcPassword, odbcDatabase;
    QString tableName;
    QStringList columns;  // address, name, date, time, size, round trip, TTL, status

    bool configured() const { return dbKind != QStringLiteral("0"); }
};

// Reads the set-up file: the kind line, the kind's own fields, the table, the eight columns.
// A missing or empty file gives kind "0"; missing lines read as empty texts.
DbSetup ReadDbSetup(const QString& path);

// The kind a set-up is served as: "1" the database file, "2" SQL Server, anything else ODBC.
enum class DbKindOf { File, SqlServer, Odbc };
DbKindOf KindOf(const QString& dbKind);

// The lines of the set-up file, each trimmed: the kind line ("1", "2" or "3"), the kind's own
// fields, the table and the eight columns (12, 15 or 14 lines).
QStringList DbSetupLines(const DbSetup& setup);

// Replaces the set-up file by the lines of `setup`. The file holds passwords: it is readable
// by its owner only, also while it is written. Returns an empty text or the error.
QString WriteDbSetup(const QString& path, const DbSetup& setup);

inline const QString DefaultDatabaseFileName = QStringLiteral("SondrelDB.mdb");
inline const QString DefaultTableName = QStringLiteral("PingLogTable");
// The eight column names of the default table.
QStringList DefaultColumnNames();
// The default database file of the data folder.
QString DefaultDatabasePath(const QString& dataFolder);
// Kind "1" on the default database of the data folder with the default table and columns.
DbSetup DefaultDbSetup(const QString& dataFolder);

}  // namespace sondrel
