#include "app/ui/focus_trap.h"

namespace sondrel {

FocusTrap::FocusTrap(QWidget* target, QWidget* parent) : QWidget(parent), target_(target) {
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void FocusTrap::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (target_)
        target_->setFocus(Qt::OtherFocusReason);
}

}  // namespace sondrel
