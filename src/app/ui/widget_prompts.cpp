#include "app/ui/widget_prompts.h"

#include <QApplication>
#include <QMessageBox>

namespace sondrel {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

int RunBox(QWidget* parent, const QString& text, MessageIcon icon, const QString& title,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(BoxIcon(icon), title.isEmpty() ? ApplicationTitle : title, text, buttons,
                    parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setDefaultButton(defaultButton);
    return box.exec();
}

}  // namespace

QWidget* WidgetPrompts::parentWindow() const {
    if (parent_)
        return parent_;
    return QApplication::activeWindow();
}

void WidgetPrompts::message(const QString& text, MessageIcon icon, const QString& title) {
    RunBox(parentWindow(), text, icon, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool WidgetPrompts::askYesNo(const QString& text, MessageIcon icon, const QString& title) {
    return RunBox(parentWindow(), text, icon, title, QMessageBox::Yes | QMessageBox::No,
                  QMessageBox::Yes) == QMessageBox::Yes;
}

}  // namespace sondrel
