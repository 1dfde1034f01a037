#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include "common/user_prompts.h"
#include "db/db_connection.h"
#include "db/db_setup.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace sondrel {

// "数据库安装程序": where database logging writes. The operator picks the kind of source (the
// database file, a SQL Server database or an ODBC data source), connects to list its tables,
// picks the table and maps the eight reply values onto its columns. OK writes the set-up file.
class DialogDBSetup : public QDialog {
    Q_OBJECT
  public:
    // `setup` is the program's set-up: the dialog start and OK change it.
    DialogDBSetup(QString dataFolder, DbSetup& setup, UserPrompts& prompts,
                  QWidget* parent = nullptr);

    // Runs the dialog start, then the dialog modally.
    int exec() override;
    // Left with OK since it was last opened.
    bool setupConfirmed() const { return setupConfirmed_; }

    // The dialog start: the computer's name as the server, the set-up file or the defaults
    // (the default database made first) shown in the controls of its kind.
    void Form_Load();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Layout.
    QWidget* buildAccessPage();
    QWidget* buildSqlServerPage();
    QWidget* buildOdbcPage();
    QWidget* buildMapping();
    void showPage(int page);
    void clearControls();
    void showSetup();
    DbSetup setupFromControls() const;
    // Handlers.
    void Command10_Click();
    void CmdConnectAccess_Click();
    void ComboAccessTable_Click();
    void CommandTestSQL_Click();
    void ComboSQLDB_Click();
    void ComboSQLTable_Click();
    void Command1_Click();
    void Command2_Click();
    void ComboODBCTable_Click();
    void OKButton_Click();
    void CancelButton_Click();
    // Listings.
    DbConnection accessConnection() const;
    DbSetup pageSetup() const;
    QString listTables(const DbConnection& connection, QComboBox* box);
    QString listColumns(const DbConnection& connection, const QString& table);
    void report(const QString& error, const char* label);

    QString dataFolder_;
    DbSetup& setup_;
    UserPrompts& prompts_;
    bool setupConfirmed_ = false;

    QRadioButton* option1_;
    QRadioButton* option2_;
    QRadioButton* option3_;
    QStackedWidget* pages_;
    QLineEdit* textAccessPath_ = nullptr;
    QLineEdit* textAccessPsw_ = nullptr;
    QComboBox* comboAccessTable_ = nullptr;
    QLineEdit* textServerName_ = nullptr;
    QComboBox* comboSQLAuthe_ = nullptr;
    QLineEdit* textSQLLogin_ = nullptr;
    QLineEdit* textSQLPsw_ = nullptr;
    QComboBox* comboSQLDB_ = nullptr;
    QComboBox* comboSQLTable_ = nullptr;
    QLineEdit* textODBCDSN_ = nullptr;
    QLineEdit* textODBCLogin_ = nullptr;
    QLineEdit* textODBCPsw_ = nullptr;
    QLineEdit* textODBCDB_ = nullptr;
    QComboBox* comboODBCTable_ = nullptr;
    QList<QComboBox*> mapping_;  // ComboIP ... ComboStatus
};

}  // namespace sondrel
