#include "app/ui/dialog_command_line.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/window_placement.h"
#include "common/ui/twips.h"

namespace sondrel {

DialogCommandLine::DialogCommandLine(QWidget* parent)
    : QDialog(parent),
      text1_(new QPlainTextEdit(this)),
      okButton_(new QPushButton(QStringLiteral("复制"), this)),
      command1_(new QPushButton(QStringLiteral("关闭"), this)) {
    setObjectName(QStringLiteral("DialogCommandLine"));
    setWindowTitle(QStringLiteral(" Command Line Builder"));
    setModal(true);
    setFixedSize(Twips(7200), Twips(2040));
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    PlaceTwips(text1_, 120, 120, 6960, 1200);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setAutoDefault(false);
    PlaceTwips(okButton_, 4440, 1500, 1200, 390);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setAutoDefault(false);
    PlaceTwips(command1_, 5880, 1500, 1200, 390);
    connect(okButton_, &QPushButton::clicked, this, &DialogCommandLine::OKButton_Click);
    connect(command1_, &QPushButton::clicked, this, &QDialog::reject);
}

void DialogCommandLine::showCommand(const QString& command) {
    text1_->setPlainText(command);
    exec();
}

QString DialogCommandLine::text() const {
    return text1_->toPlainText();
}

void DialogCommandLine::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceCentred(this);
}

void DialogCommandLine::OKButton_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text());
}

}  // namespace sondrel
