#include "db/quiet_messages.h"

#include <QByteArray>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace sondrel {

namespace {

// Plain values, so that a message printed while the thread ends finds them still valid; the
// last text is touched only while the thread is quiet.
struct ThreadQuiet {
    int depth = 0;
    qint64 count = 0;
};

thread_local ThreadQuiet quiet;
thread_local QString lastHeld;
std::atomic<QtMessageHandler> previous{nullptr};

void printPlain(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const QByteArray line = qFormatLogMessage(type, context, text).toLocal8Bit();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const bool holdable = type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg;
    if (quiet.depth > 0 && holdable) {
        ++quiet.count;
        lastHeld = text;
        return;
    }
    if (QtMessageHandler next = previous.load())
        next(type, context, text);
    else
        printPlain(type, context, text);
}

}  // namespace

QuietMessages::QuietMessages() {
    static std::once_flag installed;
    std::call_once(installed, [] { previous.store(qInstallMessageHandler(quietHandler)); });
    if (quiet.depth++ == 0) {
        quiet.count = 0;
        lastHeld.clear();
    }
}

QuietMessages::~QuietMessages() {
    --quiet.depth;
}

qint64 QuietMessages::heldBack() const {
    return quiet.count;
}

QString QuietMessages::last() const {
    return lastHeld;
}

}  // namespace sondrel
