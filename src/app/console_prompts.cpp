#include "app/console_prompts.h"

#include <cstdio>

namespace sondrel {

QString TerminalSafe(const QString& text) {
    QString safe = text;
    safe.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar& c : safe) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7f && u <= 0x9f);
        if (control && u != u'\n' && u != u'\t')
            c = QChar(0xfffd);
    }
    return safe;
}

namespace {

void printLine(const QString& text) {
    const QByteArray bytes = TerminalSafe(text).toUtf8() + '\n';
    std::fflush(stdout);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

}  // namespace

void ConsolePrompts::message(const QString& text, MessageIcon, const QString& title) {
    printLine(title.isEmpty() ? text : title + QStringLiteral(": ") + text);
}

bool ConsolePrompts::askYesNo(const QString& text, MessageIcon, const QString& title) {
    printLine((title.isEmpty() ? text : title + QStringLiteral(": ") + text) +
              QStringLiteral(" [No]"));
    return false;
}

}  // namespace sondrel
