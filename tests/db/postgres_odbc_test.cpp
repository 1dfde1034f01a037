#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include "common/text_file.h"
#include "db/reply_row.h"
#include "db_rows_test.h"
#include "engine/echo.h"
#include "message_capture.h"
#include "postgres_server.h"

namespace sondrel::testing {
namespace {

// Kind 3 against a real PostgreSQL server through psqlODBC.
class PostgresLogging : public ::testing::Test {
  protected:
    void SetUp() override {
        QString whyNot;
        server = SharedPostgres(&whyNot);
        if (server == nullptr)
            GTEST_SKIP() << "PostgreSQL cannot run here: " << whyNot.toStdString();
        ASSERT_EQ(server->execute({"DROP TABLE IF EXISTS pinglog",
                                   "CREATE TABLE pinglog (ipaddress text, 主机名 text, testdate "
                                   "text, testtime text, sendbuffersize integer, roundtriptime "
                                   "integer, ttl integer, teststatus text)"}),
                  "");
    }
    QList<QStringList> rows() const {
        return RowsOf(OdbcConnection(server->setup()),
                      "SELECT ipaddress,主机名,sendbuffersize,roundtriptime,ttl,teststatus FROM "
                      "pinglog");
    }
    qint64 rowCount() const {
        const QList<QStringList> r =
            RowsOf(OdbcConnection(server->setup()), "SELECT count(*) FROM pinglog");
        return r.isEmpty() ? -1 : r[0][0].toLongLong();
    }
    PostgresServer* server = nullptr;
    DbRig rig;
};

TEST_F(PostgresLogging, TablesAndColumnsAreListed) {
    ScopedDatabase db(OdbcConnection(server->setup()));
    ASSERT_TRUE(db.isOpen()) << db.error().toStdString();
    EXPECT_TRUE(ListTables(db.database()).contains("pinglog"));
    EXPECT_EQ(ListColumns(db.database(), "pinglog", nullptr), server->setup().columns);
}

// QODBC is given "SondrelTest;UID=postgres;DATABASE=postgres;" and makes it "DSN=…".
TEST_F(PostgresLogging, LoginAfterTheSourceNameReachesTheDriver) {
    DbSetup wrong = server->setup();
    wrong.odbcDatabase = "no_such_database";
    ScopedDatabase db(OdbcConnection(wrong));
    EXPECT_FALSE(db.isOpen());
    EXPECT_TRUE(db.error().contains("no_such_database")) << db.error().toStdString();
}

TEST_F(PostgresLogging, OneRowPerReplyWithItsValues) {
    rig.logTo(server->setup());
    rig.set("4");
    rig.echo.script = {EchoReply{0, EchoStatus::TimedOut, 0, 0, 0}};
    rig.echo.defaultRtt = 3;
    rig.start({"Aloop 'back',127.0.0.1"});
    rig.clock.runUntilIdle();
    const QList<QStringList> stored = rows();
    ASSERT_EQ(stored.size(), 4);
    EXPECT_EQ(stored[0], QStringList({"127.0.0.1", "loop 'back'", "32", "-1", "0",
                                      EchoStatusText(EchoStatus::TimedOut)}));
    EXPECT_EQ(stored[3][3], "3");
    EXPECT_EQ(rig.test.failedInsertCount(), 0);
    EXPECT_TRUE(rig.prompts.shown.isEmpty()) << rig.prompts.texts().join("|").toStdString();
}

TEST_F(PostgresLogging, WrongColumnFailsEveryRow) {
    DbSetup setup = server->setup();
    setup.columns[6] = "no_such_column";
    rig.logTo(setup);
    rig.set("3");
    rig.start({"Aloop,127.0.0.1"});
    rig.clock.runUntilIdle();
    EXPECT_EQ(rig.test.failedInsertCount(), 3);
    EXPECT_EQ(rig.prompts.texts(), QStringList{QStringLiteral("输入3侦测测试 rescords 失败。")});
    EXPECT_EQ(rowCount(), 0);
}

// The server goes away during the run: its rows are counted, the probing goes on, and the
// driver's complaints make one line, not one per row.
TEST_F(PostgresLogging, ServerStoppedMidRun) {
    MessageCapture::clear();
    rig.logTo(server->setup());
    rig.set("Continually");
    rig.start({"Aloop,127.0.0.1"});
    rig.clock.advance(99 + 5 * 1000);
    server->stop();
    rig.clock.advance(5 * 1000);
    rig.test.CommandStop_Click();
    rig.clock.runUntilIdle();
    ASSERT_TRUE(server->restart());
    const auto probes = qint64(rig.test.statistics().sentCount);
    EXPECT_GE(probes, 10);
    EXPECT_EQ(rig.test.records().size(), probes);
    const qint32 failed = rig.test.failedInsertCount();
    EXPECT_GE(failed, 4);
    EXPECT_EQ(rowCount() + failed, probes);
    EXPECT_EQ(rig.prompts.texts().last(),
              "输入" + QString::number(failed) + QStringLiteral("侦测测试 rescords 失败。"));
    EXPECT_EQ(MessageCapture::seenContaining("QODBCResult"), QStringList());
    const QStringList summary = MessageCapture::seenContaining("rows not written");
    ASSERT_EQ(summary.size(), 1);
    EXPECT_TRUE(summary[0].startsWith(
        QStringLiteral("Database logging: %1 rows not written; the last refusal: ").arg(failed)))
        << summary[0].toStdString();
}

// A server that takes its time to answer: the window's timers run meanwhile, and the refusal
// that comes at last is shown while the run goes on without rows.
TEST_F(PostgresLogging, SlowServerKeepsTheWindowRunningWhileTheStartWaits) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&silent, &QTcpServer::newConnection, [&silent] {
        QTcpSocket* socket = silent.nextPendingConnection();
        QTimer::singleShot(400, socket, [socket] { socket->abort(); });
    });
    QTemporaryDir folder;
    ASSERT_TRUE(WriteTextFileAtomically(
        folder.path() + "/odbc.ini",
        {"[SondrelSilent]", "Driver=PostgreSQL Unicode", "Servername=127.0.0.1",
         QStringLiteral("Port=%1").arg(silent.serverPort()), "Database=postgres",
         "Username=postgres"},
        nullptr));
    const QByteArray odbcIni = qgetenv("ODBCINI");
    qputenv("ODBCINI", QFile::encodeName(folder.path() + "/odbc.ini"));
    DbSetup setup = server->setup();
    setup.odbcDsn = "SondrelSilent";
    rig.logTo(setup);
    rig.set("2");
    bool ticked = false;
    QTimer::singleShot(50, [&ticked] { ticked = true; });
    rig.start({"Aloop,127.0.0.1"});
    qputenv("ODBCINI", odbcIni);
    EXPECT_TRUE(ticked);
    rig.clock.runUntilIdle();
    EXPECT_EQ(rig.test.records().size(), 2);
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(rig.prompts.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(rig.test.failedInsertCount(), 0);
}

}  // namespace
}  // namespace sondrel::testing
