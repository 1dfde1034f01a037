#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <future>
#include <thread>

#include "db/db_connection.h"
#include "db/default_database.h"
#include "db/reply_row.h"
#include "db_rows_test.h"
#include "engine/echo.h"

namespace sondrel::testing {
namespace {

class SqliteLogging : public ::testing::Test {
  protected:
    QString folder() const { return rig.folder.path() + "/"; }
    QList<QStringList> rows() const {
        return RowsOf(FileConnection(DefaultDatabasePath(folder())),
                      "SELECT IPAddress,主机名,TestDate,TestTime,SendBufferSize,RoundTripTime,TTL,"
                      "TestStatus FROM PingLogTable ORDER BY rowid");
    }
    void startSingle(const QString& text) {
        rig.request = TargetRequest{};
        rig.request.manualSingle = text;
        rig.request.textPing = text;
        rig.test.CommandStart_Click(rig.request);
    }
    DbRig rig;
};

TEST(ReplyRow, TargetNameFromTitleOrHostPart) {
    EXPECT_EQ(CurrentTargetName("  router  ", "gw /10.0.0.1"), "router");
    EXPECT_EQ(CurrentTargetName("", "gw.example /10.0.0.1"), "gw.example ");
    EXPECT_EQ(CurrentTargetName("   ", "10.0.0.1"), "");
}

TEST(DefaultDatabase, MadeOnceWithTheDefaultTableAndKept) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    ASSERT_TRUE(EnsureDefaultDatabase(folder));
    ScopedDatabase db(FileConnection(DefaultDatabasePath(folder)));
    ASSERT_TRUE(db.isOpen());
    EXPECT_EQ(ListTables(db.database()), QStringList{"PingLogTable"});
    EXPECT_EQ(ListColumns(db.database(), "PingLogTable", nullptr), DefaultColumnNames());
    QString error;
    EXPECT_TRUE(ListColumns(db.database(), "NoSuchTable", &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    // An existing file is never replaced; no temporary file is left behind.
    QFile::resize(DefaultDatabasePath(folder), 0);
    EXPECT_TRUE(EnsureDefaultDatabase(folder));
    EXPECT_EQ(QFileInfo(DefaultDatabasePath(folder)).size(), 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_FALSE(EnsureDefaultDatabase("/proc/no-such-folder/"));
}

TEST_F(SqliteLogging, EdgeValuesAreStoredAsTheyAre) {
    rig.logTo(DefaultDbSetup(folder()));
    rig.set("3");
    rig.echo.script = {EchoReply{0, EchoStatus::TimedOut, 0, 0, 0},
                       EchoReply{0x7f000001, EchoStatus::Success, 0, 32, 64},
                       EchoReply{0x7f000001, EchoStatus::Success, 7, 32, 128}};
    const QString title = QStringLiteral("O'Brien\"'); DROP TABLE PingLogTable; --");
    rig.start({"A  " + title + "  ,127.0.0.1"});
    rig.clock.runUntilIdle();
    const QList<QStringList> stored = rows();
    ASSERT_EQ(stored.size(), 3);
    const QDateTime when = rig.test.records().at(0).dateTime();
    const QLocale locale = QLocale::system();
    EXPECT_EQ(stored[0],
              QStringList({"127.0.0.1", title, locale.toString(when.date(), QLocale::ShortFormat),
                           locale.toString(when.time(), QLocale::LongFormat), "32", "-1", "0",
                           EchoStatusText(EchoStatus::TimedOut)}));
    EXPECT_EQ(stored[1][5], "0");
    EXPECT_EQ(stored[1][6], "64");
    EXPECT_EQ(stored[1][7], EchoStatusText(EchoStatus::Success));
    EXPECT_EQ(stored[2][5], "7");
    EXPECT_EQ(rig.test.failedInsertCount(), 0);
    EXPECT_TRUE(rig.prompts.shown.isEmpty()) << rig.prompts.texts().join("|").toStdString();
    // With logging on, the result logs are left alone.
    EXPECT_FALSE(QFile::exists(folder() + "Quibbet_DB3.txt"));
}

TEST_F(SqliteLogging, TargetWithoutTitleOrHostPartHasAnEmptyName) {
    rig.logTo(DefaultDbSetup(folder()));
    rig.set("2");
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    const QList<QStringList> stored = rows();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0][1], "");
    EXPECT_EQ(stored[1][0], "127.0.0.1");
}

TEST_F(SqliteLogging, WrongColumnCountsEveryRowAndTheStopSaysSo) {
    DbSetup setup = DefaultDbSetup(folder());
    setup.columns[3] = "NoSuchColumn";
    rig.logTo(setup);
    rig.set("5");
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    EXPECT_EQ(rig.test.records().size(), 5);
    EXPECT_EQ(rig.test.failedInsertCount(), 5);
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(rig.prompts.shown[0].text, QStringLiteral("输入5侦测测试 rescords 失败。"));
    EXPECT_EQ(rig.prompts.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(rows().isEmpty());
}

// A name that is no plain identifier is quoted by the driver, and works.
TEST_F(SqliteLogging, OddTableAndColumnNamesAreQuoted) {
    ASSERT_TRUE(EnsureDefaultDatabase(folder()));
    {
        ScopedDatabase db(FileConnection(DefaultDatabasePath(folder())));
        QSqlQuery(db.database())
            .exec(
                "CREATE TABLE \"ping log\" (\"ip address\" TEXT, b TEXT, c TEXT, d TEXT, "
                "e TEXT, f TEXT, g TEXT, h TEXT)");
        DbSetup setup = DefaultDbSetup(folder());
        setup.tableName = "ping log";
        setup.columns = {"ip address", "b", "c", "d", "e", "f", "g", "h"};
        EXPECT_EQ(InsertStatementText(db.database(), setup),
                  "INSERT INTO \"ping log\" (\"ip address\",b,c,d,e,f,g,h) VALUES "
                  "(?,?,?,?,?,?,?,?)");
        rig.logTo(setup);
    }
    rig.set("2");
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    EXPECT_EQ(rig.test.failedInsertCount(), 0);
    EXPECT_EQ(RowsOf(FileConnection(DefaultDatabasePath(folder())),
                     "SELECT \"ip address\" FROM \"ping log\"")
                  .size(),
              2);
}

// Enough rows for statements of many rows and a remainder: all arrive, in send order.
TEST_F(SqliteLogging, ManyRowsArriveInSendOrder) {
    rig.logTo(DefaultDbSetup(folder()));
    const int probes = 2 * int(DbReplySink::StatementRows) + 37;
    rig.set(QString::number(probes));
    for (int i = 0; i < probes; ++i)
        rig.echo.script << EchoReply{0x7f000001, EchoStatus::Success, quint32(i * 7), 32, 64};
    // Another program holds the file a moment, so that the rows wait and go in together.
    ASSERT_TRUE(EnsureDefaultDatabase(folder()));
    std::promise<void> locked;
    std::thread holder([path = DefaultDatabasePath(folder()), &locked] {
        ScopedDatabase db(FileConnection(path));
        QSqlQuery(db.database()).exec("BEGIN EXCLUSIVE");
        locked.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QSqlQuery(db.database()).exec("COMMIT");
    });
    locked.get_future().wait();
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    holder.join();
    const QList<QStringList> stored = rows();
    ASSERT_EQ(stored.size(), probes);
    for (int i = 0; i < probes; ++i)
        ASSERT_EQ(stored[i][5], QString::number(i * 7)) << "row " << i;
    EXPECT_EQ(rig.test.failedInsertCount(), 0);
}

// One refused row among many: exactly that row is counted, the others are kept.
TEST_F(SqliteLogging, OneRefusedRowAmongManyIsCountedAlone) {
    ASSERT_TRUE(EnsureDefaultDatabase(folder()));
    {
        ScopedDatabase db(FileConnection(DefaultDatabasePath(folder())));
        ASSERT_TRUE(QSqlQuery(db.database())
                        .exec("CREATE TABLE strict (a TEXT, b TEXT, c TEXT, d TEXT, e TEXT, "
                              "rtt INTEGER CHECK (rtt <> 150), g TEXT, h TEXT)"));
    }
    DbSetup setup = DefaultDbSetup(folder());
    setup.tableName = "strict";
    setup.columns = QStringList{"a", "b", "c", "d", "e", "rtt", "g", "h"};
    rig.logTo(setup);
    rig.set("300");
    for (int i = 0; i < 300; ++i)
        rig.echo.script << EchoReply{0x7f000001, EchoStatus::Success, quint32(i), 32, 64};
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    EXPECT_EQ(rig.test.failedInsertCount(), 1);
    const QList<QStringList> kept =
        RowsOf(FileConnection(DefaultDatabasePath(folder())), "SELECT rtt FROM strict");
    ASSERT_EQ(kept.size(), 299);
    EXPECT_EQ(kept[149][0], "149");
    EXPECT_EQ(kept[150][0], "151");
}

// The default database keeps a write-ahead journal; a file the operator chose keeps its own.
TEST_F(SqliteLogging, OnlyTheDefaultDatabaseGetsTheLogJournal) {
    const auto journal = [](const QString& path) {
        const QList<QStringList> mode = RowsOf(FileConnection(path), "PRAGMA journal_mode");
        return mode.isEmpty() ? QString() : mode[0][0];
    };
    const QString own = folder() + "own.db";
    ASSERT_TRUE(EnsureDefaultDatabase(folder()));
    ASSERT_TRUE(QFile::copy(DefaultDatabasePath(folder()), own));
    DbSetup chosen = DefaultDbSetup(folder());
    chosen.accessPath = own;
    rig.logTo(chosen);
    rig.set("2");
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    EXPECT_EQ(rows().size(), 0);
    EXPECT_EQ(RowsOf(FileConnection(own), "SELECT count(*) FROM PingLogTable")[0][0], "2");
    EXPECT_EQ(journal(own), "delete");

    rig.logTo(DefaultDbSetup(folder()));
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(journal(DefaultDatabasePath(folder())), "wal");
}

// The formatter keeps texts from row to row: each must change with its own field.
TEST(ReplyRow, KeptTextsFollowTheirFields) {
    ReplyRecord record;
    record.setStamp(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)));
    record.setAddress("10.0.0.1");
    record.size = 32;
    record.time = -1;
    record.ttl = 0;
    record.status = qint32(EchoStatus::TimedOut);
    ReplyRowFormatter formatter;
    RowValues first, next;
    formatter.fill(record, "a", first);
    EXPECT_EQ(QStringList(first.begin(), first.end()), ReplyRowValues(record, "a"));

    ReplyRecord later = record;
    later.setStamp(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)));
    later.setAddress("10.0.0.2");
    later.size = 1400;
    later.time = 5000;
    later.ttl = 255;
    later.status = qint32(EchoStatus::Success);
    formatter.fill(later, "b", next);
    EXPECT_EQ(QStringList(next.begin(), next.end()), ReplyRowValues(later, "b"));
    EXPECT_NE(next[3], first[3]);
    EXPECT_EQ(next[2], first[2]);
    EXPECT_EQ(next[0], "10.0.0.2");
    EXPECT_EQ(next[5], "5000");

    formatter.fill(record, "a", next);  // and back again
    EXPECT_EQ(next, first);
}

// A source that cannot be opened: the driver's words, and the run goes on without rows.
TEST_F(SqliteLogging, UnopenableSourceIsShownAndTheRunGoesOn) {
    DbSetup setup = DefaultDbSetup(folder());
    setup.accessPath = folder() + "missing.mdb";
    rig.logTo(setup);
    rig.set("2");
    startSingle("127.0.0.1");
    rig.clock.runUntilIdle();
    EXPECT_EQ(rig.test.records().size(), 2);
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_TRUE(rig.prompts.shown[0].text.contains("missing.mdb"));
    EXPECT_EQ(rig.prompts.shown[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(QFile::exists(setup.accessPath));

    DbSetup odbc;
    odbc.dbKind = "3";
    odbc.odbcDsn = "NoSuchSondrelSource";
    ScopedDatabase db(OdbcConnection(odbc));
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(db.error().isEmpty());
}

}  // namespace
}  // namespace sondrel::testing
