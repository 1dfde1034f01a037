#include "console/terminal_launch.h"

#include <QProcess>
#include <QStandardPaths>

namespace sondrel {

namespace {

// Runs the command given as the shell's first argument, then the user's shell.
const QString StayOpenScript = QStringLiteral("eval \"$1\"; exec \"${SHELL:-sh}\"");

QString FindOnPath(const QString& name, const QProcessEnvironment& environment) {
    const QStringList folders = environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'));
    return QStandardPaths::findExecutable(name, folders);
}

}  // namespace

TerminalLaunch TerminalFor(const QString& command, const QProcessEnvironment& environment) {
    QStringList candidates;
    const QStringList chosen =
        QProcess::splitCommand(environment.value(QStringLiteral("TERMINAL")));
    if (!chosen.isEmpty())
        candidates << chosen.first();
    candidates << QStringLiteral("x-terminal-emulator") << QStringLiteral("xterm");
    for (const QString& name : candidates) {
        const QString program = FindOnPath(name, environment);
        if (program.isEmpty())
            continue;
        QStringList arguments = name == chosen.value(0) ? chosen.mid(1) : QStringList();
        arguments << QStringLiteral("-e") << QStringLiteral("sh") << QStringLiteral("-c")
                  << StayOpenScript << QStringLiteral("sh") << command;
        return {program, arguments};
    }
    return {};
}

QString RunInTerminal(const QString& command, const QString& programFolder,
                      QProcessEnvironment environment) {
    const QString path = environment.value(QStringLiteral("PATH"));
    environment.insert(QStringLiteral("PATH"),
                       path.isEmpty() ? programFolder : programFolder + QLatin1Char(':') + path);
    const TerminalLaunch launch = TerminalFor(command, environment);
    if (launch.program.isEmpty())
        return QStringLiteral(
            "找不到终端程序（$TERMINAL、x-terminal-emulator 或 xterm）。"
            "请安装 xterm（sudo apt-get install xterm）或设置 TERMINAL。");
    QProcess process;
    process.setProgram(launch.program);
    process.setArguments(launch.arguments);
    process.setProcessEnvironment(environment);
    if (!process.startDetached())
        return process.errorString();
    return {};
}

}  // namespace sondrel
