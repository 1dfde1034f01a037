#pragma once

#include "common/user_prompts.h"

namespace sondrel {

// The text as it may reach a terminal: CR LF becomes a line end, and every other control
// character but line end and tab (which could retitle or clear the terminal) becomes U+FFFD.
QString TerminalSafe(const QString& text);

// Message boxes of a run without a window: printed to stderr; every question is answered No.
class ConsolePrompts final : public UserPrompts {
  public:
    void message(const QString& text, MessageIcon icon, const QString& title = {}) override;
    bool askYesNo(const QString& text, MessageIcon icon, const QString& title = {}) override;
};

}  // namespace sondrel
