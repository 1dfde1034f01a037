#include <gtest/gtest.h>

#include "db/db_connection.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

TEST(SqlServerText, BothAuthenticationKinds) {
    EXPECT_EQ(SqlServerConnectionText("FreeTDS", "db1", "SQL Server", "sa", "pw", "logs"),
              "DRIVER={FreeTDS};SERVER=db1;UID=sa;PWD=pw;DATABASE=logs;");
    // "Windows" signs in as the operator: login and password boxes are ignored.
    EXPECT_EQ(SqlServerConnectionText("ODBC Driver 18 for SQL Server", "db1", "Windows", "sa", "pw",
                                      "master"),
              "DRIVER={ODBC Driver 18 for SQL Server};SERVER=db1;Trusted_Connection=yes;"
              "DATABASE=master;");
    // Anything but exactly "Windows" uses the login.
    EXPECT_TRUE(
        SqlServerConnectionText("FreeTDS", "s", "windows", "u", "p", "d").contains("UID=u"));
    // A value cannot add keywords of its own.
    EXPECT_EQ(SqlServerConnectionText("FreeTDS", "s", "SQL Server", "u", "p;DRIVER={x}", "d"),
              "DRIVER={FreeTDS};SERVER=s;UID=u;PWD={p;DRIVER={x}}};DATABASE=d;");
}

TEST(SqlServerText, InstalledDriverChoice) {
    EXPECT_EQ(SqlServerDriverAmong({"PostgreSQL Unicode", "ODBC Driver 17 for SQL Server",
                                    "FreeTDS", "ODBC Driver 18 for SQL Server"}),
              "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(SqlServerDriverAmong({"PostgreSQL Unicode", "FreeTDS"}), "FreeTDS");
    EXPECT_EQ(SqlServerDriverAmong({}), "SQL Server");
}

// QODBC puts "DSN=" in front of a text that names no driver or server: the text it is given
// leaves the keyword out then, and keeps it when the text would be passed on as it is.
TEST(OdbcText, DataSourceFieldsAndWhatQodbcIsGiven) {
    const QString text = OdbcConnectionText("logs", "me", "", "pings");
    EXPECT_EQ(text, "DSN=logs;UID=me;DATABASE=pings;");
    EXPECT_EQ(OdbcDatabaseName(text), "logs;UID=me;DATABASE=pings;");
    const QString odd = OdbcConnectionText("my logs ", "u", "SERVER=evil", "");
    EXPECT_EQ(odd, "DSN={my logs };UID=u;PWD=SERVER=evil;");
    EXPECT_EQ(OdbcDatabaseName(odd), odd);
    EXPECT_EQ(OdbcValue("a}b"), "{a}}b}");
    EXPECT_EQ(OdbcValue("plain-name_1"), "plain-name_1");
}

}  // namespace
}  // namespace sondrel
