#pragma once

// Every message of the db test program passes through here first (the handler is installed
// before the first test), so that a test can see what the program printed and what it held
// back. Messages are printed as before.

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

namespace sondrel::testing {

class MessageCapture {
  public:
    static void install() {
        static bool done = false;
        if (!done)
            previous() = qInstallMessageHandler(&MessageCapture::handle);
        done = true;
    }
    static void clear() {
        QMutexLocker lock(&mutex());
        lines().clear();
    }
    static QStringList seen() {
        QMutexLocker lock(&mutex());
        return lines();
    }
    static QStringList seenContaining(const QString& part) { return seen().filter(part); }

  private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        {
            QMutexLocker lock(&mutex());
            lines() << text;
        }
        if (previous() != nullptr)
            previous()(type, context, text);
    }
    static QtMessageHandler& previous() {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static QMutex& mutex() {
        static QMutex m;
        return m;
    }
    static QStringList& lines() {
        static QStringList l;
        return l;
    }
};

}  // namespace sondrel::testing
