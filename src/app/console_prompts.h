#pragma once

#include "common/user_prompts.h"

namespace sondrel {

// Message boxes of a run without a window: printed to stderr; every question is answered No.
class ConsolePrompts final : public UserPrompts {
  public:
    void message(const QString& text, MessageIcon icon, const QString& title = {}) override;
    bool askYesNo(const QString& text, MessageIcon icon, const QString& title = {}) override;
};

}  // namespace sondrel
