#pragma once

#include <QString>
#include <QtGlobal>

namespace sondrel {

// Holds back the debug, info and warning messages of the calling thread while it lives: the
// database drivers print one line for every statement that fails, which floods the console
// when a server goes away. Messages of other threads, critical and fatal ones pass as before.
class QuietMessages {
  public:
    QuietMessages();
    ~QuietMessages();
    QuietMessages(const QuietMessages&) = delete;
    QuietMessages& operator=(const QuietMessages&) = delete;

    // Messages held back so far on this thread, and the last of them.
    qint64 heldBack() const;
    QString last() const;
};

}  // namespace sondrel
