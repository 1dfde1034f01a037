#pragma once

// A throw-away PostgreSQL server on 127.0.0.1 for the database tests, reached through
// psqlODBC as the data source "SondrelTest" of private odbc.ini/odbcinst.ini files (ODBCSYSINI
// and ODBCINI point at them). The server runs as the "postgres" user when the tests run as
// root (PostgreSQL refuses root), and is always shut down again.

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <memory>

#include "common/text_file.h"
#include "db/db_connection.h"
#include "db/db_setup.h"

namespace sondrel::testing {

class PostgresServer {
  public:
    static inline const QString Dsn = QStringLiteral("SondrelTest");

    // Empty when the server runs; else why it cannot run here.
    QString start() {
        const QString bin = binFolder();
        if (bin.isEmpty())
            return QStringLiteral("PostgreSQL is not installed (/usr/lib/postgresql/*/bin)");
        if (!QFile::exists(QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so")) &&
            !QFile::exists(QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc/psqlodbcw.so")))
            return QStringLiteral("psqlODBC (odbc-postgresql) is not installed");
        if (!dir_.isValid())
            return QStringLiteral("no temporary folder");
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther);
        data_ = dir_.path() + QStringLiteral("/data");
        QDir().mkpath(data_);
        if (::geteuid() == 0 && !run({QStringLiteral("chown"), QStringLiteral("postgres"), data_}))
            return QStringLiteral(
                       "running as root, but the cluster folder cannot be given to the "
                       "user \"postgres\": ") +
                   output_;
        if (!asServer({bin + "/initdb", "-D", data_, "-A", "trust", "-U", "postgres", "--no-sync",
                       "-E", "UTF8", "--locale=C"}))
            return QStringLiteral("initdb failed: ") + output_;
        port_ = freePort();
        const QString options = QStringLiteral("-p %1 -k %2 -h 127.0.0.1 -F").arg(port_).arg(data_);
        if (!asServer(
                {bin + "/pg_ctl", "-D", data_, "-o", options, "-l", data_ + "/log", "-w", "start"}))
            return QStringLiteral("the server did not start: ") + output_;
        started_ = true;
        writeOdbcFiles();
        return {};
    }

    void stop() {
        if (started_)
            asServer({binFolder() + "/pg_ctl", "-D", data_, "-m", "fast", "-w", "stop"});
        started_ = false;
    }
    bool restart() {
        const QString options = QStringLiteral("-p %1 -k %2 -h 127.0.0.1 -F").arg(port_).arg(data_);
        started_ = asServer({binFolder() + "/pg_ctl", "-D", data_, "-o", options, "-l",
                             data_ + "/log", "-w", "start"});
        return started_;
    }
    ~PostgresServer() { stop(); }

    int port() const { return port_; }
    DbSetup setup(const QString& table = QStringLiteral("pinglog")) const {
        DbSetup s;
        s.dbKind = QStringLiteral("3");
        s.odbcDsn = Dsn;
        s.odbcLogin = QStringLiteral("postgres");
        s.odbcDatabase = QStringLiteral("postgres");
        s.tableName = table;
        s.columns = {"ipaddress",      "主机名",        "testdate", "testtime",
                     "sendbuffersize", "roundtriptime", "ttl",      "teststatus"};
        return s;
    }
    // Runs statements over the data source; empty on success, else the error.
    QString execute(const QStringList& statements) const {
        ScopedDatabase db(OdbcConnection(setup()));
        if (!db.isOpen())
            return db.error();
        QSqlQuery query(db.database());
        for (const QString& statement : statements) {
            if (!query.exec(statement))
                return DbErrorText(query.lastError());
        }
        return {};
    }

  private:
    static QString binFolder() {
        const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql"))
                                         .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (qsizetype i = versions.size() - 1; i >= 0; --i) {
            const QString bin = QStringLiteral("/usr/lib/postgresql/") + versions[i] + "/bin";
            if (QFile::exists(bin + "/pg_ctl"))
                return bin;
        }
        return {};
    }
    static int freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }
    bool run(const QStringList& command) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(command.first(), command.mid(1));
        process.waitForFinished(60000);
        output_ = QString::fromLocal8Bit(process.readAll()).right(400);
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    bool asServer(const QStringList& command) {
        if (::geteuid() != 0)
            return run(command);
        return run(QStringList{QStringLiteral("runuser"), QStringLiteral("-u"),
                               QStringLiteral("postgres"), QStringLiteral("--")} +
                   command);
    }
    void writeOdbcFiles() {
        const QString folder = dir_.path();
        WriteTextFileAtomically(folder + "/odbcinst.ini",
                                {"[PostgreSQL Unicode]", "Driver=psqlodbcw.so"}, nullptr);
        WriteTextFileAtomically(
            folder + "/odbc.ini",
            {"[" + Dsn + "]", "Driver=PostgreSQL Unicode", "Servername=127.0.0.1",
             QStringLiteral("Port=%1").arg(port_), "Database=postgres", "Username=postgres"},
            nullptr);
        qputenv("ODBCSYSINI", QFile::encodeName(folder));
        qputenv("ODBCINI", QFile::encodeName(folder + "/odbc.ini"));
    }

    // Under /tmp where there is one: the postgres user must reach the cluster when the tests run
    // as root, and the server's socket path must stay short.
    static QString folderPattern() {
        const QString base = QFileInfo(QStringLiteral("/tmp")).isWritable() ? QStringLiteral("/tmp")
                                                                            : QDir::tempPath();
        return base + QStringLiteral("/sondrel-pg-XXXXXX");
    }

    QTemporaryDir dir_{folderPattern()};
    QString data_;
    QString output_;
    int port_ = 0;
    bool started_ = false;
};

// One server for the whole test program, started on first use.
inline PostgresServer* SharedPostgres(QString* whyNot) {
    static std::unique_ptr<PostgresServer> server;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        server = std::make_unique<PostgresServer>();
        failure = server->start();
        if (!failure.isEmpty())
            server.reset();
        else
            std::atexit([] { server.reset(); });
    }
    *whyNot = failure;
    return server.get();
}

}  // namespace sondrel::testing
