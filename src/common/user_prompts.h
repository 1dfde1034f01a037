#pragma once

#include <QString>

namespace sondrel {

// Icons of the message boxes; every message of the core names one.
enum class MessageIcon { None, Critical, Question, Exclamation, Information };

// Every message box and Yes/No question of the core goes through this interface. The window
// shows a real box, the console front-end prints to stderr and answers No, tests record.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;
    // An empty title means the application title.
    virtual void message(const QString& text, MessageIcon icon, const QString& title = {}) = 0;
    virtual bool askYesNo(const QString& text, MessageIcon icon, const QString& title = {}) = 0;
};

}  // namespace sondrel
