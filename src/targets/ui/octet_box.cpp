#include "targets/ui/octet_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "targets/entry_forms.h"

namespace sondrel {

namespace {

constexpr int OctetValues = 256;

}  // namespace

OctetBox::OctetBox(const QString& name, QWidget* parent) : QComboBox(parent) {
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    for (int value = 0; value < OctetValues; ++value)
        addItem(QString::number(value));
    setMaxVisibleItems(12);
    setMinimumContentsLength(3);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    lineEdit()->setMaxLength(3);
    // Input methods would compose text around the key rule.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    showText(QString());
    connect(lineEdit(), &QLineEdit::textEdited, this, &OctetBox::edited);
    connect(this, &QComboBox::activated, this, [this] { Q_EMIT edited(currentText()); });
}

void OctetBox::showText(const QString& text) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    lineEdit()->setText(LimitOctetText(text));
}

// Keys that type nothing (moves, Delete) and shortcuts keep their usual meaning; Escape is the
// dialog's.
void OctetBox::keyPressEvent(QKeyEvent* event) {
    const bool backspace = event->key() == Qt::Key_Backspace;
    const QString text = backspace ? QStringLiteral("\b") : event->text();
    const bool typesCharacter = !text.isEmpty() && event->key() != Qt::Key_Escape &&
                                !(event->modifiers() & Qt::ControlModifier);
    if (!typesCharacter || !rule_) {
        QComboBox::keyPressEvent(event);
        return;
    }
    if (rule_(text.front())) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void OctetBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    // After a mouse press has placed the cursor.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            lineEdit()->selectAll();
    });
    lineEdit()->selectAll();
}

}  // namespace sondrel
