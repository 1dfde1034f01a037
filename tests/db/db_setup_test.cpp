#include <gtest/gtest.h>

#include <QFile>
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

}  // namespace
}  // namespace sondrel
