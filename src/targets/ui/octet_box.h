#pragma once

#include <QComboBox>
#include <functional>

namespace sondrel {

// One octet of an address in the entry dialogs: an editable drop-down of 0 to 255 that keeps at
// most three characters and selects its text when it gets the focus. Every key that types a
// character goes to the key rule first; a key the rule swallows never reaches the box.
class OctetBox : public QComboBox {
    Q_OBJECT
  public:
    // Returns true when the key was swallowed (the rule has moved the focus on).
    using KeyRule = std::function<bool(QChar key)>;

    explicit OctetBox(const QString& name, QWidget* parent = nullptr);

    void setKeyRule(KeyRule rule) { rule_ = std::move(rule); }
    // Shows the text without reporting it as the operator's edit.
    void showText(const QString& text);

  Q_SIGNALS:
    // The operator typed or picked a new text.
    void edited(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    KeyRule rule_;
};

}  // namespace sondrel
