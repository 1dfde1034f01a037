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

}  // namespace sondrel
