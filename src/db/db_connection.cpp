#include "db/db_connection.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "common/text_file.h"
#include "db/default_database.h"

namespace sondrel {

namespace {

// Waits for a server that does not answer at most this long (seconds).
const QString OdbcOptions = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15");
const QString FileOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");

void addField(QString& text, const char* key, const QString& value) {
    if (!value.isEmpty())
        text += QLatin1String(key) + QLatin1Char('=') + OdbcValue(value) + QLatin1Char(';');
}

bool namesDriverOrServer(const QString& text) {
    return text.contains(QStringLiteral("DRIVER="), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("SERVER="), Qt::CaseInsensitive);
}

// The driver sections of the system's driver list: $ODBCSYSINI/odbcinst.ini, else /etc.
QStringList installedDrivers() {
    QString folder = qEnvironmentVariable("ODBCSYSINI");
    if (folder.isEmpty())
        folder = QStringLiteral("/etc");
    QSettings list(folder + QStringLiteral("/odbcinst.ini"), QSettings::IniFormat);
    return list.childGroups();
}

}  // namespace

QString OdbcValue(const QString& value) {
    static const QRegularExpression plain(QStringLiteral("^[^;{}=\\s]([^;{}]*[^;{}\\s])?$"));
    if (value.isEmpty() || plain.match(value).hasMatch())
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString SqlServerConnectionText(const QString& driverName, const QString& server,
                                const QString& authentication, const QString& login,
                                const QString& password, const QString& database) {
    QString text = QStringLiteral("DRIVER={") + driverName + QStringLiteral("};SERVER=") +
                   OdbcValue(server) + QLatin1Char(';');
    if (authentication == QStringLiteral("Windows")) {
        text += QStringLiteral("Trusted_Connection=yes;");
    } else {
        text += QStringLiteral("UID=") + OdbcValue(login) + QStringLiteral(";PWD=") +
                OdbcValue(password) + QLatin1Char(';');
    }
    text += QStringLiteral("DATABASE=") + OdbcValue(database) + QLatin1Char(';');
    return text;
}

QString OdbcConnectionText(const QString& dsn, const QString& login, const QString& password,
                           const QString& database) {
    QString text = QStringLiteral("DSN=") + OdbcValue(dsn) + QLatin1Char(';');
    addField(text, "UID", login);
    addField(text, "PWD", password);
    addField(text, "DATABASE", database);
    return text;
}

QString OdbcDatabaseName(const QString& connectionText) {
    if (namesDriverOrServer(connectionText))
        return connectionText;
    return connectionText.mid(4);  // "DSN=" comes from QODBC
}

QString SqlServerDriverAmong(const QStringList& driverSections) {
    static const QRegularExpression vendor(QStringLiteral("^ODBC Driver (\\d+) for SQL Server$"));
    QString best;
    int bestVersion = -1;
    for (const QString& name : driverSections) {
        const QRegularExpressionMatch match = vendor.match(name);
        if (match.hasMatch() && match.captured(1).toInt() > bestVersion) {
            best = name;
            bestVersion = match.captured(1).toInt();
        }
    }
    if (!best.isEmpty())
        return best;
    for (const QString& name : driverSections) {
        if (name.compare(QStringLiteral("FreeTDS"), Qt::CaseInsensitive) == 0)
            return name;
    }
    return QStringLiteral("SQL Server");
}

QString InstalledSqlServerDriver() {
    return SqlServerDriverAmong(installedDrivers());
}

DbConnection FileConnection(const QString& path) {
    return {QStringLiteral("QSQLITE"), path, FileOptions, {}};
}

DbConnection SqlServerConnection(const DbSetup& setup, const QString& database) {
    return {QStringLiteral("QODBC"),
            SqlServerConnectionText(InstalledSqlServerDriver(), setup.sqlServer,
                                    setup.sqlAuthentication, setup.sqlLogin, setup.sqlPassword,
                                    database),
            OdbcOptions,
            {}};
}

DbConnection OdbcConnection(const DbSetup& setup) {
    const QString text =
        OdbcConnectionText(setup.odbcDsn, setup.odbcLogin, setup.odbcPassword, setup.odbcDatabase);
    return {QStringLiteral("QODBC"), OdbcDatabaseName(text), OdbcOptions, {}};
}

// Opening a missing file would make an empty database instead: the file must be there.
DbConnection ExistingFileConnection(const QString& path) {
    DbConnection connection = FileConnection(path);
    if (!QFileInfo(path).isFile())
        connection.error =
            QString::fromLocal8Bit(std::strerror(ENOENT)) + QStringLiteral(": ") + path;
    return connection;
}

DbConnection ConnectionForSetup(const DbSetup& setup, const QString& dataFolder) {
    switch (KindOf(setup.dbKind)) {
        case DbKindOf::File: {
            QString error;
            if (setup.accessPath == DefaultDatabasePath(dataFolder) &&
                !EnsureDefaultDatabase(dataFolder, &error)) {
                DbConnection connection = FileConnection(setup.accessPath);
                connection.error = error;
                return connection;
            }
            return ExistingFileConnection(setup.accessPath);
        }
        case DbKindOf::SqlServer:
            return SqlServerConnection(setup, setup.sqlDatabase);
        case DbKindOf::Odbc:
            break;
    }
    return OdbcConnection(setup);
}

QString DbErrorText(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

ScopedDatabase::ScopedDatabase(const DbConnection& connection) {
    static std::atomic<unsigned> counter{0};
    name_ = QStringLiteral("sondrel-db-%1").arg(counter.fetch_add(1));
    if (!connection.error.isEmpty()) {
        error_ = connection.error;
        return;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(connection.driver, name_);
    if (!db.isValid()) {
        error_ = DbErrorText(db.lastError());
        return;
    }
    db.setDatabaseName(connection.databaseName);
    db.setConnectOptions(connection.connectOptions);
    if (!db.open())
        error_ = DbErrorText(db.lastError());
}

ScopedDatabase::~ScopedDatabase() {
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QStringList ListTables(const QSqlDatabase& db) {
    return db.tables(QSql::Tables);
}

QStringList ListColumns(const QSqlDatabase& db, const QString& table, QString* error) {
    QSqlRecord record = db.record(table);
    if (record.isEmpty()) {
        // The driver's listing did not know the name: ask the table itself, for its error.
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT * FROM ") + StatementName(db, table) +
                        QStringLiteral(" WHERE 1=0"))) {
            if (error != nullptr)
                *error = DbErrorText(query.lastError());
            return {};
        }
        record = query.record();
    }
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

QString PrepareOdbcIni() {
    QString path = qEnvironmentVariable("ODBCINI");
    if (path.isEmpty())
        path = QDir::homePath() + QStringLiteral("/.odbc.ini");
    if (QFileInfo::exists(path))
        return path;
    const QStringList example = {
        QStringLiteral(
            "; ODBC data sources of this user. Sondrel's \"ODBC\" page takes the name in"),
        QStringLiteral("; brackets. An example for a PostgreSQL database (remove the semicolons):"),
        QStringLiteral(";"),
        QStringLiteral("; [PingLogs]"),
        QStringLiteral("; Driver     = PostgreSQL Unicode"),
        QStringLiteral("; Servername = localhost"),
        QStringLiteral("; Port       = 5432"),
        QStringLiteral("; Database   = pinglogs")};
    return WriteTextFileAtomically(path, example, nullptr) ? path : QString();
}

QString StatementName(const QSqlDatabase& db, const QString& name, bool column) {
    static const QRegularExpression plain(
        QStringLiteral("^[\\p{L}_][\\p{L}\\p{N}_]*(\\.[\\p{L}_][\\p{L}\\p{N}_]*)*$"));
    if (plain.match(name).hasMatch() || db.driver() == nullptr)
        return name;
    return db.driver()->escapeIdentifier(name,
                                         column ? QSqlDriver::FieldName : QSqlDriver::TableName);
}

}  // namespace sondrel
