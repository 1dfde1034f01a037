#include "app/console_prompts.h"

#include <cstdio>

namespace sondrel {

namespace {

void printLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = line.toUtf8() + '\n';
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
