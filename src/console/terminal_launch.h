#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace sondrel {

// A console window for a command: the terminal program and its arguments.
struct TerminalLaunch {
    QString program;  // empty when no terminal was found
    QStringList arguments;
};

// The terminal of `environment` ($TERMINAL, else x-terminal-emulator, else xterm, looked up
// on its PATH) running a shell that runs `command` and then stays open as the user's shell.
// The command is one argument of its own: the script only refers to it, so nothing of it is
// pasted into another command line.
TerminalLaunch TerminalFor(const QString& command, const QProcessEnvironment& environment);

// Dos_Run: opens a console window for the command, with `programFolder` first on the PATH so
// that our own programs (tracert) are the ones found. Returns the error text, empty on success.
QString RunInTerminal(const QString& command, const QString& programFolder,
                      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());

}  // namespace sondrel
