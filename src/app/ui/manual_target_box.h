#pragma once

#include <QLineEdit>

namespace sondrel {

// Beginning of the selection summary that the box shows while list entries are selected.
inline const QString SelectionSummaryPrefix = QStringLiteral("己选定");

// The manual target box `TextPing`. Entering it clears the selection summary or selects the
// typed text, so that typing always replaces the list selection by a manual target; leaving it
// removes every space from the text. Enter asks the window to start the offered function.
class ManualTargetBox : public QLineEdit {
    Q_OBJECT
  public:
    explicit ManualTargetBox(QWidget* parent = nullptr);

  Q_SIGNALS:
    void entered();         // the box took the focus
    void left(bool empty);  // the box lost the focus; `empty` after the clean-up
    void startRequested();  // Enter

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace sondrel
