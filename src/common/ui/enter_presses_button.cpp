#include "common/ui/enter_presses_button.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace sondrel {

namespace {

bool IsEnter(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers();
    return (key->key() == Qt::Key_Return && mods == Qt::NoModifier) ||
           (key->key() == Qt::Key_Enter && (mods == Qt::NoModifier || mods == Qt::KeypadModifier));
}

// A push button with either flag clicks on Enter by itself.
bool TakesEnterItself(const QAbstractButton* button) {
    const auto* push = qobject_cast<const QPushButton*>(button);
    return push && (push->isDefault() || push->autoDefault());
}

class EnterFilter final : public QObject {
  public:
    explicit EnterFilter(QAbstractButton* button) : QObject(button), button_(button) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != button_ || event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsEnter(key) || TakesEnterItself(button_))
            return false;
        key->accept();
        // A held key presses once, as a held Space does.
        if (!key->isAutoRepeat() && button_->isEnabled())
            button_->click();
        return true;
    }

  private:
    QAbstractButton* button_;
};

}  // namespace

void EnterPressesButton(QAbstractButton* button) {
    button->installEventFilter(new EnterFilter(button));
}

}  // namespace sondrel
