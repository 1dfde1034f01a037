#pragma once

#include <QList>
#include <QString>

#include "common/user_prompts.h"
#include "support/qt_printers.h"

namespace sondrel::testing {

// Records every message and question; questions get the answer the test set.
class RecordingPrompts final : public UserPrompts {
  public:
    struct Shown {
        QString text;
        MessageIcon icon;
        QString title;
        bool question;
    };

    void message(const QString& text, MessageIcon icon, const QString& title = {}) override {
        shown.append({text, icon, title, false});
    }
    bool askYesNo(const QString& text, MessageIcon icon, const QString& title = {}) override {
        shown.append({text, icon, title, true});
        return answer;
    }
    QStringList texts() const {
        QStringList out;
        for (const Shown& s : shown)
            out << s.text;
        return out;
    }
    void clear() { shown.clear(); }

    QList<Shown> shown;
    bool answer = false;
};

}  // namespace sondrel::testing
