#pragma once

#include <QPointer>
#include <QWidget>

#include "common/user_prompts.h"

namespace sondrel {

// The application title that message boxes without a title of their own carry.
inline const QString ApplicationTitle = QStringLiteral("Sondrel");

// Message boxes of the window program: modal QMessageBoxes over the main window.
class WidgetPrompts final : public UserPrompts {
  public:
    explicit WidgetPrompts(QWidget* parentWindow = nullptr) : parent_(parentWindow) {}

    // The window the boxes belong to; without one they go over the active window.
    void setParentWindow(QWidget* window) { parent_ = window; }

    void message(const QString& text, MessageIcon icon, const QString& title = {}) override;
    // Yes/No question; Yes is the default button.
    bool askYesNo(const QString& text, MessageIcon icon, const QString& title = {}) override;

  private:
    QWidget* parentWindow() const;

    QPointer<QWidget> parent_;
};

}  // namespace sondrel
