#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSysInfo>

#include "db/db_setup.h"
#include "db/postgres_server.h"
#include "engine/ping_test.h"
#include "window_driver.h"

namespace sondrel::testing {
namespace {

class DbSetupDialog : public WindowTest {
  protected:
    void SetUp() override { open(); }
    QString setupPath() const { return folder.path() + "/" + DbSetupFileName; }
    QByteArray setupFile() const {
        QFile f(setupPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString text(QDialog* d, const char* name) {
        if (auto* edit = d->findChild<QLineEdit*>(name))
            return edit->text();
        return d->findChild<QComboBox*>(name)->currentText();
    }
    static void setText(QDialog* d, const char* name, const QString& value) {
        if (auto* edit = d->findChild<QLineEdit*>(name))
            edit->setText(value);
        else
            d->findChild<QComboBox*>(name)->setEditText(value);
    }
    static void click(QDialog* d, const char* name) {
        ClickOn(d->findChild<QAbstractButton*>(name));
    }
    static QStringList items(QDialog* d, const char* name) {
        QStringList out;
        auto* box = d->findChild<QComboBox*>(name);
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    static void choose(QDialog* d, const char* name, const QString& item) {
        auto* box = d->findChild<QComboBox*>(name);
        box->setCurrentIndex(box->findText(item));
        Q_EMIT box->activated(box->currentIndex());
    }
    void openFromMenu(std::function<void(QDialog*)> act) {
        WhenModal(std::move(act));
        find<QAction>("mnuSetupDB")->trigger();
    }
    static inline const char* const Mapping[] = {"ComboIP",   "ComboHost",  "ComboDate",
                                                 "ComboTime", "ComboSize",  "ComboRoundTrip",
                                                 "ComboTTL",  "ComboStatus"};
};

TEST_F(DbSetupDialog, FirstUseOffersTheDefaultDatabaseAndCancelClearsTheBox) {
    auto* checkDB = find<QCheckBox>("CheckDB");
    ASSERT_TRUE(checkDB->isEnabled());
    EXPECT_TRUE(find<QAction>("mnuSetupDB")->isEnabled());
    bool seen = false;
    WhenModal([&](QDialog* d) {
        seen = true;
        EXPECT_EQ(d->windowTitle(), QStringLiteral("数据库安装程序"));
        EXPECT_TRUE(d->findChild<QRadioButton*>("Option1")->isChecked());
        EXPECT_EQ(text(d, "TextAccessPath"), folder.path() + "/SondrelDB.mdb");
        EXPECT_EQ(text(d, "TextAccessPsw"), "");
        EXPECT_EQ(text(d, "ComboAccessTable"), "PingLogTable");
        EXPECT_EQ(text(d, "TextServerName"), QSysInfo::machineHostName());
        EXPECT_EQ(text(d, "ComboSQLAuthe"), "SQL Server");
        QStringList mapping;
        for (const char* name : Mapping)
            mapping << text(d, name);
        EXPECT_EQ(mapping, DefaultColumnNames());
        EXPECT_TRUE(QFile::exists(folder.path() + "/SondrelDB.mdb"));
        // The default database lists its table, and the table its columns.
        click(d, "CmdConnectAccess");
        EXPECT_EQ(items(d, "ComboAccessTable"), QStringList{"PingLogTable"});
        choose(d, "ComboAccessTable", "PingLogTable");
        for (const char* name : Mapping)
            EXPECT_EQ(items(d, name), DefaultColumnNames()) << name;
        click(d, "CancelButton");
    });
    ClickOn(checkDB);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(checkDB->isChecked());
    EXPECT_FALSE(QFile::exists(setupPath()));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

TEST_F(DbSetupDialog, OkWritesTheLayoutOfTheChosenKind) {
    openFromMenu([](QDialog* d) {
        d->findChild<QRadioButton*>("Option2")->setChecked(true);
        setText(d, "TextServerName", " db1 ");
        setText(d, "TextSQLLogin", "sa");
        setText(d, "TextSQLPsw", "pw");
        setText(d, "ComboSQLDB", "logs");
        setText(d, "ComboSQLTable", "T");
        click(d, "OKButton");
    });
    EXPECT_EQ(setupFile(),
              "2\r\ndb1\r\nSQL Server\r\nsa\r\npw\r\nlogs\r\nT\r\nIPAddress\r\n"
              "主机名\r\nTestDate\r\nTestTime\r\nSendBufferSize\r\nRoundTripTime\r\n"
              "TTL\r\nTestStatus\r\n");
    EXPECT_EQ(window->dbSetup().sqlServer, "db1");
    EXPECT_FALSE(find<QCheckBox>("CheckDB")->isChecked());  // the menu leaves the box alone

    openFromMenu([](QDialog* d) {
        EXPECT_TRUE(d->findChild<QRadioButton*>("Option2")->isChecked());
        EXPECT_EQ(text(d, "TextServerName"), "db1");
        d->findChild<QRadioButton*>("Option3")->setChecked(true);
        setText(d, "TextODBCDSN", "logs");
        setText(d, "ComboODBCTable", "T");
        click(d, "OKButton");
    });
    EXPECT_EQ(setupFile().count("\r\n"), 14);
    EXPECT_TRUE(setupFile().startsWith("3\r\nlogs\r\n\r\n\r\n\r\nT\r\n"));
    EXPECT_EQ(window->dbSetup().dbKind, "3");

    openFromMenu([](QDialog* d) {
        d->findChild<QRadioButton*>("Option1")->setChecked(true);
        click(d, "OKButton");
    });
    EXPECT_EQ(setupFile().count("\r\n"), 12);
    EXPECT_EQ(QFileInfo(setupPath()).permissions() & 0x0077, 0);
}

TEST_F(DbSetupDialog, CancelAfterTickingLeavesTheFileUnchanged) {
    openFromMenu([](QDialog* d) { click(d, "OKButton"); });
    const QByteArray before = setupFile();
    ASSERT_FALSE(before.isEmpty());
    WhenModal([](QDialog* d) {
        setText(d, "ComboAccessTable", "Other");
        click(d, "CancelButton");
    });
    ClickOn(find<QCheckBox>("CheckDB"));
    EXPECT_FALSE(find<QCheckBox>("CheckDB")->isChecked());
    EXPECT_EQ(setupFile(), before);
}

// Ticked and confirmed: the run's replies become rows, the result logs stay as they were.
TEST_F(DbSetupDialog, TickedAndConfirmedLogsTheRunToTheDatabase) {
    WhenModal([](QDialog* d) { click(d, "OKButton"); });
    ClickOn(find<QCheckBox>("CheckDB"));
    ASSERT_TRUE(find<QCheckBox>("CheckDB")->isChecked());
    window->parameters().setText(ParameterBox::Times, "3");
    typeTarget("127.0.0.1");
    ClickOn(find("CommandStart"));
    clock.runUntilIdle();
    EXPECT_EQ(window->pingTest().records().size(), 3);
    EXPECT_FALSE(QFile::exists(folder.path() + "/Quibbet_DB3.txt"));
    ScopedDatabase db(FileConnection(folder.path() + "/SondrelDB.mdb"));
    QSqlQuery count(db.database());
    ASSERT_TRUE(count.exec("SELECT count(*) FROM PingLogTable") && count.next());
    EXPECT_EQ(count.value(0).toInt(), 3);
}

TEST_F(DbSetupDialog, FailuresCarryTheirLabels) {
    openFromMenu([](QDialog* d) {
        setText(d, "TextAccessPath", "/nonexistent/x.mdb");
        click(d, "CmdConnectAccess");
        d->findChild<QRadioButton*>("Option3")->setChecked(true);
        setText(d, "TextODBCDSN", "NoSuchSondrelSource");
        click(d, "Command1");
        click(d, "CancelButton");
    });
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(prompts.shown[0].text.endsWith("   CmdConnectAccess_Click"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(prompts.shown[1].text.isEmpty());
    EXPECT_EQ(prompts.shown[1].icon, MessageIcon::None);
    EXPECT_FALSE(QFile::exists("/nonexistent/x.mdb"));
}

TEST_F(DbSetupDialog, OdbcSourceListsItsTablesAndColumns) {
    QString whyNot;
    PostgresServer* server = SharedPostgres(&whyNot);
    if (server == nullptr)
        GTEST_SKIP() << "PostgreSQL cannot run here: " << whyNot.toStdString();
    ASSERT_EQ(server->execute({"DROP TABLE IF EXISTS dialoglog",
                               "CREATE TABLE dialoglog (addr text, name text, d text, t text, "
                               "s integer, rtt integer, ttl integer, status text)"}),
              "");
    QStringList tables, columns;
    openFromMenu([&](QDialog* d) {
        d->findChild<QRadioButton*>("Option3")->setChecked(true);
        setText(d, "TextODBCDSN", PostgresServer::Dsn);
        setText(d, "TextODBCLogin", "postgres");
        setText(d, "TextODBCDB", "postgres");
        click(d, "Command1");
        tables = items(d, "ComboODBCTable");
        choose(d, "ComboODBCTable", "dialoglog");
        columns = items(d, "ComboStatus");
        click(d, "CancelButton");
    });
    EXPECT_TRUE(tables.contains("dialoglog")) << tables.join(",").toStdString();
    EXPECT_EQ(columns, QStringList({"addr", "name", "d", "t", "s", "rtt", "ttl", "status"}));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

}  // namespace
}  // namespace sondrel::testing
