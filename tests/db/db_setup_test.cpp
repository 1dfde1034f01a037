#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "db/db_setup.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

class DbSetupFile : public ::testing::Test {
  protected:
    QString write(const QByteArray& text) {
        const QString path = dir.path() + "/" + DbSetupFileName;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(DbSetupFile, MissingOrEmptyMeansNothingSetUp) {
    EXPECT_EQ(ReadDbSetup(dir.path() + "/none.txt").dbKind, "0");
    EXPECT_FALSE(ReadDbSetup(write("")).configured());
    EXPECT_FALSE(ReadDbSetup(write("0\r\n")).configured());
}

TEST_F(DbSetupFile, EachKindReadsItsOwnLines) {
    const QByteArray columns =
        "IPAddress\r\n主机名\r\nTestDate\r\nTestTime\r\nSendBufferSize\r\n"
        "RoundTripTime\r\nTTL\r\nTestStatus\r\n";
    DbSetup access =
        ReadDbSetup(write("1\r\n /data/SondrelDB.mdb \r\n\r\nPingLogTable\r\n" + columns));
    EXPECT_TRUE(access.configured());
    EXPECT_EQ(access.accessPath, "/data/SondrelDB.mdb");
    EXPECT_EQ(access.tableName, "PingLogTable");
    EXPECT_EQ(access.columns.value(1), QStringLiteral("主机名"));
    EXPECT_EQ(access.columns.size(), 8);

    DbSetup sql =
        ReadDbSetup(write("2\r\nsrv\r\nSQL Server\r\nsa\r\npw\r\nlogs\r\nT\r\n" + columns));
    EXPECT_EQ(sql.sqlDatabase, "logs");
    EXPECT_EQ(sql.tableName, "T");
    EXPECT_EQ(sql.columns.last(), "TestStatus");

    DbSetup odbc = ReadDbSetup(write("7\ndsn\nuser\npw\ndb\nT\n"));  // other kinds count as ODBC
    EXPECT_EQ(odbc.odbcDsn, "dsn");
    EXPECT_EQ(odbc.tableName, "T");
    EXPECT_EQ(odbc.columns, QStringList(8, QString()));
}

// Every kind written and read back; the file is its owner's alone.
TEST_F(DbSetupFile, EachLayoutWrittenAndReadBack) {
    const QString path = dir.path() + "/" + DbSetupFileName;
    DbSetup access = DefaultDbSetup(dir.path() + "/");
    access.accessPassword = " secret ";
    DbSetup sql;
    sql.dbKind = "2";
    sql.sqlServer = "db1";
    sql.sqlAuthentication = "Windows";
    sql.sqlLogin = "sa";
    sql.sqlPassword = "pw";
    sql.sqlDatabase = "logs";
    sql.tableName = "T";
    sql.columns = DefaultColumnNames();
    DbSetup odbc;
    odbc.dbKind = "anything";
    odbc.odbcDsn = "dsn";
    odbc.odbcLogin = "u";
    odbc.odbcPassword = "p";
    odbc.odbcDatabase = "d";
    odbc.tableName = "T";
    odbc.columns = DefaultColumnNames();
    const std::pair<DbSetup, int> cases[] = {{access, 12}, {sql, 15}, {odbc, 14}};
    for (const auto& [setup, lines] : cases) {
        ASSERT_EQ(WriteDbSetup(path, setup), "");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_EQ(bytes.count("\r\n"), lines);
        EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0) << lines;
        const DbSetup back = ReadDbSetup(path);
        EXPECT_EQ(DbSetupLines(back), DbSetupLines(setup));
    }
    EXPECT_TRUE(QFile(path).readAll().isEmpty());
    EXPECT_EQ(ReadDbSetup(path).dbKind, "3");  // written as ODBC
    EXPECT_EQ(DbSetupLines(access)[2], "secret");
}

// A file someone left readable by others is closed to them by the next write.
TEST_F(DbSetupFile, WiderRightsAreTakenAway) {
    const QString path = write("1\r\n");
    QFile::setPermissions(
        path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadGroup);
    ASSERT_EQ(WriteDbSetup(path, DefaultDbSetup(dir.path())), "");
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0);
    EXPECT_NE(WriteDbSetup(dir.path() + "/none/" + DbSetupFileName, DefaultDbSetup("")), "");
}

TEST_F(DbSetupFile, TruncatedOrGarbageFilesReadAsFarAsTheyGo) {
    const DbSetup cut = ReadDbSetup(write("2\r\nsrv\r\nSQL Server"));
    EXPECT_EQ(cut.dbKind, "2");
    EXPECT_EQ(cut.sqlAuthentication, "SQL Server");
    EXPECT_EQ(cut.sqlLogin, "");
    EXPECT_EQ(cut.columns, QStringList(8, QString()));
    const DbSetup garbage = ReadDbSetup(write(QByteArray("\xff\xfe\x00\x01junk\n\x80\x81", 10)));
    EXPECT_TRUE(garbage.configured());
    EXPECT_EQ(KindOf(garbage.dbKind), DbKindOf::Odbc);
    EXPECT_EQ(garbage.columns.size(), 8);
}

}  // namespace
}  // namespace sondrel
