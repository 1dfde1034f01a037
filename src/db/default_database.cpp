#include "db/default_database.h"

#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

#include "db/db_connection.h"
#include "db/db_setup.h"

namespace sondrel {

namespace {

void setError(QString* error, const QString& text) {
    if (error != nullptr)
        *error = text;
}

// Builds the template database in `path`; returns an empty text or the error.
QString buildTemplate(const QString& path) {
    ScopedDatabase db(FileConnection(path));
    if (!db.isOpen())
        return db.error();
    QSqlQuery create(db.database());
    if (!create.exec(DefaultTableSchema()))
        return DbErrorText(create.lastError());
    return {};
}

}  // namespace

bool IsDefaultDatabase(const DbSetup& setup, const QString& dataFolder) {
    return KindOf(setup.dbKind) == DbKindOf::File &&
           setup.accessPath == DefaultDatabasePath(dataFolder);
}

void UseLogJournal(const QSqlDatabase& db) {
    QSqlQuery pragma(db);
    pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
}

QString DefaultTableSchema() {
    return QStringLiteral(
        "CREATE TABLE PingLogTable (IPAddress TEXT, 主机名 TEXT, TestDate TEXT, TestTime TEXT, "
        "SendBufferSize INTEGER, RoundTripTime INTEGER, TTL INTEGER, TestStatus TEXT)");
}

bool EnsureDefaultDatabase(const QString& dataFolder, QString* error) {
    const QString path = DefaultDatabasePath(dataFolder);
    if (QFileInfo::exists(path))
        return true;
    static std::atomic<unsigned> counter{0};
    const QFileInfo target(path);
    const QString temp = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                         QStringLiteral(".%1.%2.tmp").arg(::getpid()).arg(counter.fetch_add(1));
    QString failure = buildTemplate(temp);
    // The rename never replaces a file: one made meanwhile by another program is kept.
    if (failure.isEmpty() && !QFile::rename(temp, path) && !QFileInfo::exists(path)) {
        QFile file(temp);
        file.rename(path);
        failure = file.errorString();
    }
    QFile::remove(temp);
    if (!failure.isEmpty() || !QFileInfo::exists(path)) {
        setError(error, failure);
        return false;
    }
    return true;
}

}  // namespace sondrel
