#include "targets/ui/dialog_add_ipg.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace sondrel {

namespace {

const QString MembersLabel = QStringLiteral("IP 地址:");
const QString HelpText = QStringLiteral(
    "每行输入一个 IP 地址或主机名。\n"
    "可在后面加一个空格和括号中的主机名，\n"
    "它会显示在侦测结果旁边，例如：\n\n"
    "192.168.1.1 (路由器)\n"
    "192.168.1.20\n"
    "www.debian.org (网站)");

// The box shows lines ended by LF; the form reads either line end.
QString ShownLines(const QString& text) {
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

DialogAddIPG::DialogAddIPG(QWidget* parent)
    : EntryDialog(QStringLiteral("FormAddIPG"), QStringLiteral("Command4"),
                  GroupEntryForm::testButtonCaption(), parent) {
    grid()->addWidget(new QLabel(MembersLabel, this), 1, 0, Qt::AlignTop);
    members_ = new QPlainTextEdit(this);
    members_->setObjectName(QStringLiteral("TextIPs"));
    members_->setTabChangesFocus(true);
    members_->setMinimumSize(260, 180);
    members_->installEventFilter(this);
    grid()->addWidget(members_, 1, 1);
    connect(members_, &QPlainTextEdit::textChanged, this, [this] {
        if (!showingMembers_)
            form_->setMemberText(members_->toPlainText());
    });
    auto* image = new QToolButton(this);
    image->setObjectName(QStringLiteral("ImageHelp"));
    image->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    image->setAutoRaise(true);
    grid()->addWidget(image, 1, 2, Qt::AlignTop);
    buildHelp();
    connect(image, &QToolButton::clicked, this, [this] {
        help_->setGeometry(members_->geometry());
        help_->show();
        help_->raise();
    });
    finishLayout(2);
}

void DialogAddIPG::buildHelp() {
    help_ = new QFrame(this);
    help_->setObjectName(QStringLiteral("PictureHelp"));
    help_->setFrameShape(QFrame::Box);
    help_->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(help_);
    auto* text = new QLabel(HelpText, help_);
    text->setWordWrap(true);
    column->addWidget(text, 1);
    auto* ok = AddDialogButton(help_, QStringLiteral("CommandHelpOK"), QStringLiteral("OK"));
    column->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, help_, &QWidget::hide);
    help_->hide();
}

void DialogAddIPG::run(GroupEntryForm& form) {
    form_ = &form;
    help_->hide();
    EntryDialog::run(form);
}

void DialogAddIPG::showFields() {
    showMembers();
}

void DialogAddIPG::showMembers() {
    showingMembers_ = true;
    const RgbColor colour = form_->memberColor();
    QPalette palette = members_->palette();
    palette.setColor(QPalette::Text, QColor(colour.red, colour.green, colour.blue));
    members_->setPalette(palette);
    if (members_->toPlainText() != ShownLines(form_->memberText()))
        members_->setPlainText(ShownLines(form_->memberText()));
    showingMembers_ = false;
}

QWidget* DialogAddIPG::widgetFor(FormControl control) const {
    return control == FormControl::MemberBox ? members_ : EntryDialog::widgetFor(control);
}

// The sample text gives way when the operator comes to the member box.
bool DialogAddIPG::eventFilter(QObject* watched, QEvent* event) {
    if (watched == members_ && event->type() == QEvent::FocusIn && form_) {
        form_->memberBoxFocused();
        showMembers();
    }
    return EntryDialog::eventFilter(watched, event);
}

}  // namespace sondrel
