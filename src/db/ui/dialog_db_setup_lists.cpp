// The dialog's listings: tables of a source, columns of a table, databases of a server.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "common/text_file.h"
#include "db/ui/dialog_db_setup.h"

namespace sondrel {

namespace {

// The busy pointer while a listing waits for its server.
class BusyPointer {
  public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

// The Access password box is used as typed, every other box trimmed.
DbConnection DialogDBSetup::accessConnection() const {
    return ExistingFileConnection(TrimSpaces(textAccessPath_->text()));
}

// The connection fields of the SQL Server and ODBC pages.
DbSetup DialogDBSetup::pageSetup() const {
    DbSetup setup;
    setup.sqlServer = TrimSpaces(textServerName_->text());
    setup.sqlAuthentication = TrimSpaces(comboSQLAuthe_->currentText());
    setup.sqlLogin = TrimSpaces(textSQLLogin_->text());
    setup.sqlPassword = TrimSpaces(textSQLPsw_->text());
    setup.odbcDsn = TrimSpaces(textODBCDSN_->text());
    setup.odbcLogin = TrimSpaces(textODBCLogin_->text());
    setup.odbcPassword = TrimSpaces(textODBCPsw_->text());
    setup.odbcDatabase = TrimSpaces(textODBCDB_->text());
    return setup;
}

// Adds the tables of the source to `box`; returns an empty text or the error.
QString DialogDBSetup::listTables(const DbConnection& connection, QComboBox* box) {
    ScopedDatabase db(connection);
    if (!db.isOpen())
        return db.error();
    const QStringList tables = ListTables(db.database());
    const QString current = box->currentText();
    box->addItems(tables);
    box->setEditText(current);
    return {};
}

// Every mapping box gets the columns of `table`, in column order, in place of its list.
QString DialogDBSetup::listColumns(const DbConnection& connection, const QString& table) {
    ScopedDatabase db(connection);
    if (!db.isOpen())
        return db.error();
    QString error;
    const QStringList columns = ListColumns(db.database(), table, &error);
    if (!error.isEmpty())
        return error;
    for (QComboBox* box : std::as_const(mapping_)) {
        const QString current = box->currentText();
        box->clear();
        box->addItems(columns);
        box->setEditText(current);
    }
    return {};
}

void DialogDBSetup::CmdConnectAccess_Click() {
    comboAccessTable_->clear();
    comboAccessTable_->setEditText(QString());
    if (const QString error = listTables(accessConnection(), comboAccessTable_); !error.isEmpty())
        report(error, "   CmdConnectAccess_Click");
}

void DialogDBSetup::ComboAccessTable_Click() {
    const QString error = listColumns(accessConnection(), comboAccessTable_->currentText());
    if (!error.isEmpty())
        report(error, "   CmdConnectAccess_Click");
}

// Connecting to the data source: a refusal shows the driver's words alone.
void DialogDBSetup::Command1_Click() {
    BusyPointer busy;
    const QString typed = comboODBCTable_->currentText();
    comboODBCTable_->clear();
    comboODBCTable_->setEditText(typed);
    if (const QString error = listTables(OdbcConnection(pageSetup()), comboODBCTable_);
        !error.isEmpty())
        prompts_.message(error, MessageIcon::None);
}

void DialogDBSetup::ComboODBCTable_Click() {
    BusyPointer busy;
    const QString error =
        listColumns(OdbcConnection(pageSetup()), TrimSpaces(comboODBCTable_->currentText()));
    if (!error.isEmpty())
        report(error, "   ComboODBCTable_Click");
}

// The databases of the server, through its "master" database.
void DialogDBSetup::CommandTestSQL_Click() {
    BusyPointer busy;
    comboSQLDB_->clear();
    comboSQLTable_->clear();
    ScopedDatabase db(SqlServerConnection(pageSetup(), QStringLiteral("master")));
    if (!db.isOpen()) {
        prompts_.message(db.error(), MessageIcon::None);
        return;
    }
    QSqlQuery query(db.database());
    if (!query.exec(QStringLiteral("USE master")) ||
        !query.exec(QStringLiteral("SELECT * FROM sysdatabases"))) {
        prompts_.message(DbErrorText(query.lastError()), MessageIcon::None);
        return;
    }
    QStringList names;
    const int name = query.record().indexOf(QStringLiteral("name"));
    while (query.next())
        names << query.value(name).toString();
    if (names.isEmpty()) {
        prompts_.message(QStringLiteral("没有数据库查找"), MessageIcon::Critical);
        return;
    }
    comboSQLDB_->addItems(names);
}

void DialogDBSetup::ComboSQLDB_Click() {
    BusyPointer busy;
    comboSQLTable_->clear();
    comboSQLTable_->setEditText(QString());
    const DbConnection connection =
        SqlServerConnection(pageSetup(), TrimSpaces(comboSQLDB_->currentText()));
    if (const QString error = listTables(connection, comboSQLTable_); !error.isEmpty())
        report(error, "   ComboSQLDB_Click");
}

void DialogDBSetup::ComboSQLTable_Click() {
    BusyPointer busy;
    const DbConnection connection =
        SqlServerConnection(pageSetup(), TrimSpaces(comboSQLDB_->currentText()));
    const QString error = listColumns(connection, TrimSpaces(comboSQLTable_->currentText()));
    if (!error.isEmpty())
        report(error, "   ComboSQLTable_Click");
}

}  // namespace sondrel
