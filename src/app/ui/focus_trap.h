#pragma once

#include <QPointer>
#include <QWidget>

namespace sondrel {

// An invisible stop in the tab order (`Text88` items): whatever gives it the focus, it passes
// the focus on at once to its target.
class FocusTrap : public QWidget {
    Q_OBJECT
  public:
    FocusTrap(QWidget* target, QWidget* parent);

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    QPointer<QWidget> target_;
};

}  // namespace sondrel
