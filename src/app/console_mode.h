#pragma once

#include <QString>

namespace sondrel {

// Exit statuses of the console mode.
enum ConsoleExit { ConsoleReplied = 0, ConsoleNoReply = 1, ConsoleRefused = 2 };

// Runs one ping test without a window from the six-field argument text
// "TARGET;INTERVAL;SIZE;TIMEOUT;TIMES;REPEAT" and returns the exit status. Needs a running
// QCoreApplication; stops after TIMES rounds or on SIGINT/SIGTERM, logs closed either way.
int RunConsoleMode(const QString& argumentText);

}  // namespace sondrel
