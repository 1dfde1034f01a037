#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "db/db_setup.h"

class QSqlError;

namespace sondrel {

// How one database source is opened through Qt SQL: the database file through QSQLITE, SQL
// Server and ODBC data sources through QODBC (unixODBC).
struct DbConnection {
    QString driver;          // "QSQLITE" or "QODBC"
    QString databaseName;    // the file, or the connection text as QODBC takes it
    QString connectOptions;  // QSqlDatabase::setConnectOptions
    QString error;           // the source cannot be opened at all: why
};

// One value of an ODBC connection text: as it is when it is plain, else in braces with every
// closing brace doubled, so that no value can add keywords of its own.
QString OdbcValue(const QString& value);

// The connection text of a SQL Server database through `driverName`. "Windows" authentication
// signs in with the operator's own (Kerberos) identity, so login and password are left out.
QString SqlServerConnectionText(const QString& driverName, const QString& server,
                                const QString& authentication, const QString& login,
                                const QString& password, const QString& database);
// The full connection text of a data source name; empty fields are left to the data source.
QString OdbcConnectionText(const QString& dsn, const QString& login, const QString& password,
                           const QString& database);
// The same as QODBC must be given it: QODBC puts "DSN=" in front of a text that names no
// driver or server itself, so the keyword is left to it then.
QString OdbcDatabaseName(const QString& connectionText);

// The name of the installed SQL Server ODBC driver among the driver sections of the driver
// list (odbcinst.ini): the vendor's newest, else FreeTDS; "SQL Server" when none is there.
QString SqlServerDriverAmong(const QStringList& driverSections);
QString InstalledSqlServerDriver();

DbConnection FileConnection(const QString& path);
// As FileConnection, refused when the file does not exist.
DbConnection ExistingFileConnection(const QString& path);
DbConnection SqlServerConnection(const DbSetup& setup, const QString& database);
DbConnection OdbcConnection(const DbSetup& setup);
// The source of the set-up, as the ping test opens it (the default database is made first).
DbConnection ConnectionForSetup(const DbSetup& setup, const QString& dataFolder);

// The error's own text, for the operator.
QString DbErrorText(const QSqlError& error);

// A private connection of the calling thread, opened when made and removed when it goes.
class ScopedDatabase {
  public:
    explicit ScopedDatabase(const DbConnection& connection);
    ~ScopedDatabase();
    ScopedDatabase(const ScopedDatabase&) = delete;
    ScopedDatabase& operator=(const ScopedDatabase&) = delete;

    bool isOpen() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    QSqlDatabase database() const { return QSqlDatabase::database(name_, false); }

  private:
    QString name_;
    QString error_;
};

// The tables of the source (no views, no system tables), as the driver lists them.
QStringList ListTables(const QSqlDatabase& db);
// The column names of `table` in column order; an empty list and `error` set when the table
// cannot be read.
QStringList ListColumns(const QSqlDatabase& db, const QString& table, QString* error);
// A table or column name for a statement: as written when it is a plain identifier (letters,
// digits and underscores, parts joined by "."), else quoted by the driver.
QString StatementName(const QSqlDatabase& db, const QString& name, bool column = false);

// The data source file of the operator's ODBC set-up ($ODBCINI, else ~/.odbc.ini), made with a
// commented example data source when it does not exist yet. Empty when it cannot be made.
QString PrepareOdbcIni();

}  // namespace sondrel
