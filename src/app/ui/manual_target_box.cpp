#include "app/ui/manual_target_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace sondrel {

namespace {

// Focus that comes and goes with the window's activation or a pop-up menu is not the operator
// entering or leaving the box.
bool MovedByOperator(const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason;
}

}  // namespace

ManualTargetBox::ManualTargetBox(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("TextPing"));
}

void ManualTargetBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!MovedByOperator(event))
        return;
    if (text().startsWith(SelectionSummaryPrefix)) {
        clear();
    } else {
        // After the mouse press that brought the focus has placed the cursor.
        QTimer::singleShot(0, this, [this] {
            if (hasFocus())
                selectAll();
        });
    }
    Q_EMIT entered();
}

void ManualTargetBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!MovedByOperator(event))
        return;
    QString cleaned = text();
    cleaned.remove(QLatin1Char(' '));
    if (cleaned != text())
        setText(cleaned);
    Q_EMIT left(cleaned.isEmpty());
}

void ManualTargetBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT startRequested();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace sondrel
