#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "console/terminal_launch.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

// A stand-in terminal: writes its arguments, one a line, to args.txt beside it and, like a real
// terminal, runs what follows -e: the shell then runs the command and stays (here it exits at
// once, having no terminal to read from).
QString StandInTerminal(const QTemporaryDir& folder) {
    const QString path = folder.filePath("term");
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(
        "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname "
        "\"$0\")/args.txt\"\n"
        "shift\nSHELL=/bin/true exec \"$@\" < /dev/null\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList WaitForLines(const QString& path) {
    for (int i = 0; i < 200 && !QFile::exists(path); ++i)
        QThread::msleep(10);
    QThread::msleep(50);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// The command reaches the shell as one argument of its own, quotes and semicolons untouched,
// and our folder comes first on its PATH.
TEST(TerminalLaunch, CommandIsOneArgumentOfTheShellWithOurFolderFirst) {
    QTemporaryDir folder;
    QProcessEnvironment env;
    env.insert("PATH", "/usr/bin:/bin");
    env.insert("TERMINAL", StandInTerminal(folder));
    const QString command = "echo \"$PATH\" > '" + folder.filePath("path.txt") + "'; true";
    ASSERT_EQ(RunInTerminal(command, "/opt/our folder", env), "");
    EXPECT_EQ(WaitForLines(folder.filePath("args.txt")),
              QStringList({"-e", "sh", "-c", "eval \"$1\"; exec \"${SHELL:-sh}\"", "sh", command}));
    EXPECT_EQ(WaitForLines(folder.filePath("path.txt")),
              QStringList{"/opt/our folder:/usr/bin:/bin"});
}

TEST(TerminalLaunch, TerminalIsLookedUpInOrderAndItsAbsenceSaysWhatToInstall) {
    QTemporaryDir folder;
    const QString xterm = folder.filePath("xterm");
    QFile::copy(StandInTerminal(folder), xterm);
    QProcessEnvironment env;
    env.insert("PATH", folder.path());
    env.insert("TERMINAL", "no-such-terminal --flag");
    EXPECT_EQ(TerminalFor("ls", env).program, xterm);
    QFile::copy(xterm, folder.filePath("x-terminal-emulator"));
    EXPECT_EQ(TerminalFor("ls", env).program, folder.filePath("x-terminal-emulator"));
    env.insert("TERMINAL", "term --title \"a b\"");
    const TerminalLaunch own = TerminalFor("ls", env);
    EXPECT_EQ(own.program, folder.filePath("term"));
    EXPECT_EQ(own.arguments.mid(0, 3), QStringList({"--title", "a b", "-e"}));

    QProcessEnvironment none;
    none.insert("PATH", QDir::tempPath() + "/nothing-here");
    const QString error = RunInTerminal("ls", "/opt", none);
    EXPECT_TRUE(error.contains("xterm")) << error.toStdString();
}

}  // namespace
}  // namespace sondrel
