#include "db/ui/dialog_db_setup.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QSysInfo>
#include <QUrl>
#include <QVBoxLayout>

#include "common/text_file.h"
#include "db/default_database.h"

namespace sondrel {

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, bool secret = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (secret)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QComboBox* comboBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QFrame* page(const char* name) {
    auto* frame = new QFrame;
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

// The mapping boxes, in the order of the columns of a row, with their labels.
constexpr std::pair<const char*, const char*> MappingBoxes[] = {
    {"ComboIP", "IP 地址"}, {"ComboHost", "主机名"},         {"ComboDate", "日期"},
    {"ComboTime", "时间"},  {"ComboSize", "发送缓冲大小："}, {"ComboRoundTrip", "往返时间"},
    {"ComboTTL", "TTL:"},   {"ComboStatus", "状态"}};

}  // namespace

DialogDBSetup::DialogDBSetup(QString dataFolder, DbSetup& setup, UserPrompts& prompts,
                             QWidget* parent)
    : QDialog(parent),
      dataFolder_(std::move(dataFolder)),
      setup_(setup),
      prompts_(prompts),
      option1_(new QRadioButton(QStringLiteral("Access"), this)),
      option2_(new QRadioButton(QStringLiteral("SQL Server"), this)),
      option3_(new QRadioButton(QStringLiteral("ODBC"), this)),
      pages_(new QStackedWidget(this)) {
    setObjectName(QStringLiteral("DialogDBSetup"));
    setWindowTitle(QStringLiteral("数据库安装程序"));
    setModal(true);
    option1_->setObjectName(QStringLiteral("Option1"));
    option2_->setObjectName(QStringLiteral("Option2"));
    option3_->setObjectName(QStringLiteral("Option3"));
    auto* kinds = new QHBoxLayout;
    for (QRadioButton* option : {option1_, option2_, option3_})
        kinds->addWidget(option);
    pages_->addWidget(buildAccessPage());
    pages_->addWidget(buildSqlServerPage());
    pages_->addWidget(buildOdbcPage());
    connect(option1_, &QRadioButton::toggled, this, [this](bool on) { on ? showPage(0) : void(); });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) { on ? showPage(1) : void(); });
    connect(option3_, &QRadioButton::toggled, this, [this](bool on) { on ? showPage(2) : void(); });
    auto* ok = button(this, "OKButton", QStringLiteral("OK"));
    auto* cancel = button(this, "CancelButton", QStringLiteral("取消"));
    connect(ok, &QPushButton::clicked, this, &DialogDBSetup::OKButton_Click);
    connect(cancel, &QPushButton::clicked, this, &DialogDBSetup::CancelButton_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kinds);
    layout->addWidget(pages_);
    layout->addWidget(buildMapping());
    layout->addLayout(buttons);
}

QWidget* DialogDBSetup::buildAccessPage() {
    QFrame* frame = page("Frame1");
    textAccessPath_ = lineEdit(frame, "TextAccessPath");
    textAccessPsw_ = lineEdit(frame, "TextAccessPsw", true);
    comboAccessTable_ = comboBox(frame, "ComboAccessTable");
    comboAccessTable_->installEventFilter(this);
    auto* browse = button(frame, "Command10", QStringLiteral("..."));
    auto* connectButton = button(frame, "CmdConnectAccess", QStringLiteral("连接"));
    auto* path = new QHBoxLayout;
    path->addWidget(textAccessPath_);
    path->addWidget(browse);
    auto* form = new QFormLayout(frame);
    form->addRow(QStringLiteral("文件:"), path);
    form->addRow(QStringLiteral("密码:"), textAccessPsw_);
    form->addRow(QString(), connectButton);
    form->addRow(QStringLiteral("表:"), comboAccessTable_);
    connect(browse, &QPushButton::clicked, this, &DialogDBSetup::Command10_Click);
    connect(connectButton, &QPushButton::clicked, this, &DialogDBSetup::CmdConnectAccess_Click);
    connect(comboAccessTable_, &QComboBox::activated, this, &DialogDBSetup::ComboAccessTable_Click);
    return frame;
}

QWidget* DialogDBSetup::buildSqlServerPage() {
    QFrame* frame = page("Frame3");
    textServerName_ = lineEdit(frame, "TextServerName");
    comboSQLAuthe_ = comboBox(frame, "ComboSQLAuthe");
    comboSQLAuthe_->addItems({QStringLiteral("SQL Server"), QStringLiteral("Windows")});
    textSQLLogin_ = lineEdit(frame, "TextSQLLogin");
    textSQLPsw_ = lineEdit(frame, "TextSQLPsw", true);
    comboSQLDB_ = comboBox(frame, "ComboSQLDB");
    comboSQLTable_ = comboBox(frame, "ComboSQLTable");
    auto* connectButton = button(frame, "CommandTestSQL", QStringLiteral("Connect"));
    auto* form = new QFormLayout(frame);
    form->addRow(QStringLiteral("服务器:"), textServerName_);
    form->addRow(QStringLiteral("身份验证:"), comboSQLAuthe_);
    form->addRow(QStringLiteral("登录名:"), textSQLLogin_);
    form->addRow(QStringLiteral("密码:"), textSQLPsw_);
    form->addRow(QString(), connectButton);
    form->addRow(QStringLiteral("数据库:"), comboSQLDB_);
    form->addRow(QStringLiteral("表:"), comboSQLTable_);
    connect(connectButton, &QPushButton::clicked, this, &DialogDBSetup::CommandTestSQL_Click);
    connect(comboSQLDB_, &QComboBox::activated, this, &DialogDBSetup::ComboSQLDB_Click);
    connect(comboSQLTable_, &QComboBox::activated, this, &DialogDBSetup::ComboSQLTable_Click);
    return frame;
}

QWidget* DialogDBSetup::buildOdbcPage() {
    QFrame* frame = page("Frame4");
    textODBCDSN_ = lineEdit(frame, "TextODBCDSN");
    textODBCLogin_ = lineEdit(frame, "TextODBCLogin");
    textODBCPsw_ = lineEdit(frame, "TextODBCPsw", true);
    textODBCDB_ = lineEdit(frame, "TextODBCDB");
    comboODBCTable_ = comboBox(frame, "ComboODBCTable");
    auto* newDsn = button(frame, "Command2", QStringLiteral("New DSN"));
    auto* connectButton = button(frame, "Command1", QStringLiteral("Connect"));
    auto* dsn = new QHBoxLayout;
    dsn->addWidget(textODBCDSN_);
    dsn->addWidget(newDsn);
    auto* form = new QFormLayout(frame);
    form->addRow(QStringLiteral("DSN:"), dsn);
    form->addRow(QStringLiteral("登录名:"), textODBCLogin_);
    form->addRow(QStringLiteral("密码:"), textODBCPsw_);
    form->addRow(QStringLiteral("数据库:"), textODBCDB_);
    form->addRow(QString(), connectButton);
    form->addRow(QStringLiteral("表:"), comboODBCTable_);
    connect(newDsn, &QPushButton::clicked, this, &DialogDBSetup::Command2_Click);
    connect(connectButton, &QPushButton::clicked, this, &DialogDBSetup::Command1_Click);
    connect(comboODBCTable_, &QComboBox::activated, this, &DialogDBSetup::ComboODBCTable_Click);
    return frame;
}

QWidget* DialogDBSetup::buildMapping() {
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("FrameMapping"));
    auto* form = new QFormLayout(group);
    for (const auto& [name, label] : MappingBoxes) {
        QComboBox* box = comboBox(group, name);
        form->addRow(QString::fromUtf8(label), box);
        mapping_ << box;
    }
    return group;
}

void DialogDBSetup::showPage(int page) {
    pages_->setCurrentIndex(page);
}

int DialogDBSetup::exec() {
    Form_Load();
    return QDialog::exec();
}

// Centred across, the top half the free height less 100 twips.
void DialogDBSetup::showEvent(QShowEvent* event) {
    if (const QScreen* screen = this->screen()) {
        const QRect free = screen->availableGeometry();
        move(free.left() + (free.width() - width()) / 2,
             free.top() + std::max((free.height() - height()) / 2 - 100 / 15, 0));
    }
    QDialog::showEvent(event);
}

bool DialogDBSetup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == comboAccessTable_ && event->type() == QEvent::FocusIn &&
        comboAccessTable_->count() == 0)
        CmdConnectAccess_Click();
    return QDialog::eventFilter(watched, event);
}

void DialogDBSetup::Form_Load() {
    setupConfirmed_ = false;
    clearControls();
    textServerName_->setText(QSysInfo::machineHostName());
    option1_->setChecked(true);
    showPage(0);
    setup_ = ReadDbSetup(dataFolder_ + DbSetupFileName);
    if (!setup_.configured()) {
        QString error;
        if (!EnsureDefaultDatabase(dataFolder_, &error)) {
            report(error, "   Form_Load");
            return;
        }
        setup_ = DefaultDbSetup(dataFolder_);
    }
    showSetup();
}

void DialogDBSetup::clearControls() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(edit->parent()) == nullptr)
            edit->clear();
    }
    for (QComboBox* box : {comboAccessTable_, comboSQLDB_, comboSQLTable_, comboODBCTable_}) {
        box->clear();
        box->setEditText(QString());
    }
    comboSQLAuthe_->setCurrentIndex(0);
    for (QComboBox* box : std::as_const(mapping_)) {
        box->clear();
        box->setEditText(QString());
    }
}

void DialogDBSetup::showSetup() {
    switch (KindOf(setup_.dbKind)) {
        case DbKindOf::File:
            option1_->setChecked(true);
            textAccessPath_->setText(setup_.accessPath);
            textAccessPsw_->setText(setup_.accessPassword);
            comboAccessTable_->setEditText(setup_.tableName);
            break;
        case DbKindOf::SqlServer:
            option2_->setChecked(true);
            textServerName_->setText(setup_.sqlServer);
            comboSQLAuthe_->setEditText(setup_.sqlAuthentication);
            textSQLLogin_->setText(setup_.sqlLogin);
            textSQLPsw_->setText(setup_.sqlPassword);
            comboSQLDB_->setEditText(setup_.sqlDatabase);
            comboSQLTable_->setEditText(setup_.tableName);
            break;
        case DbKindOf::Odbc:
            option3_->setChecked(true);
            textODBCDSN_->setText(setup_.odbcDsn);
            textODBCLogin_->setText(setup_.odbcLogin);
            textODBCPsw_->setText(setup_.odbcPassword);
            textODBCDB_->setText(setup_.odbcDatabase);
            comboODBCTable_->setEditText(setup_.tableName);
            break;
    }
    for (int i = 0; i < mapping_.size(); ++i)
        mapping_[i]->setEditText(setup_.columns.value(i));
}

// The selected kind decides: "Access", else "SQL Server", else ODBC.
DbSetup DialogDBSetup::setupFromControls() const {
    DbSetup setup;
    const auto text = [](const QLineEdit* edit) { return TrimSpaces(edit->text()); };
    if (option1_->isChecked()) {
        setup.dbKind = QStringLiteral("1");
        setup.accessPath = text(textAccessPath_);
        setup.accessPassword = text(textAccessPsw_);
        setup.tableName = comboAccessTable_->currentText();
    } else if (option2_->isChecked()) {
        setup.dbKind = QStringLiteral("2");
        setup.sqlServer = text(textServerName_);
        setup.sqlAuthentication = TrimSpaces(comboSQLAuthe_->currentText());
        setup.sqlLogin = text(textSQLLogin_);
        setup.sqlPassword = text(textSQLPsw_);
        setup.sqlDatabase = TrimSpaces(comboSQLDB_->currentText());
        setup.tableName = comboSQLTable_->currentText();
    } else {
        setup.dbKind = QStringLiteral("3");
        setup.odbcDsn = text(textODBCDSN_);
        setup.odbcLogin = text(textODBCLogin_);
        setup.odbcPassword = text(textODBCPsw_);
        setup.odbcDatabase = text(textODBCDB_);
        setup.tableName = comboODBCTable_->currentText();
    }
    setup.tableName = TrimSpaces(setup.tableName);
    for (const QComboBox* box : mapping_)
        setup.columns << TrimSpaces(box->currentText());
    return setup;
}

void DialogDBSetup::OKButton_Click() {
    const DbSetup setup = setupFromControls();
    if (const QString error = WriteDbSetup(dataFolder_ + DbSetupFileName, setup);
        !error.isEmpty()) {
        report(error, "   OKButton_Click");
        return;
    }
    setup_ = setup;
    setupConfirmed_ = true;
    accept();
}

void DialogDBSetup::CancelButton_Click() {
    setupConfirmed_ = false;
    reject();
}

// A file to open; cancelling leaves the path empty.
void DialogDBSetup::Command10_Click() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("打开....文件"), QString(), QStringLiteral("访问文件 (*.mdb)"));
    textAccessPath_->setText(TrimSpaces(path));
}

// The operator's data source file in the desktop's editor; errors are ignored.
void DialogDBSetup::Command2_Click() {
    const QString path = PrepareOdbcIni();
    if (!path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DialogDBSetup::report(const QString& error, const char* label) {
    prompts_.message(error + QString::fromLatin1(label), MessageIcon::Critical);
}

}  // namespace sondrel
