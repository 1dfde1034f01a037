#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "app/console_mode.h"
#include "app/console_trace.h"
#include "app/ui/window_main.h"

namespace {

const char* const Usage =
    "Usage: sondrel [ARGUMENTS]\n"
    "       sondrel --console \"TARGET;INTERVAL;SIZE;TIMEOUT;TIMES;REPEAT\"\n"
    "       sondrel --trace \"TARGETS;HOPS;HOSTLIST;TIMEOUT;RESOLVE\"\n"
    "\n"
    "Without --console or --trace the window opens; ARGUMENTS in the six-field form start a\n"
    "ping test at once.\n"
    "\n"
    "  --console TEXT  run one ping test without a window and print every reply line,\n"
    "                  then the summary. Example:\n"
    "                  sondrel --console \"127.0.0.1;1000 毫秒;32  字节;500 毫秒;4;1\"\n"
    "                  TIMES \"Continually\" runs until Ctrl+C. Exit status: 0 when a\n"
    "                  reply came, 1 when none did, 2 when the command line, a parameter\n"
    "                  or the target was refused.\n"
    "  --trace TEXT    trace the route to every target without a window. TARGETS as in the\n"
    "                  six-field form: one address or name, or list positions \"/0//2/\".\n"
    "                  HOPS, HOSTLIST (loose source route) and TIMEOUT (ms) may be empty;\n"
    "                  RESOLVE is 1 to show host names, 0 not to. The lines come in\n"
    "                  target order, a target's as they are read once every target before\n"
    "                  it is done, a \"完成\" line at its target's end. Example:\n"
    "                  sondrel --trace \"127.0.0.1;30;;1000;0\"\n"
    "                  Ctrl+C stops. Exit status: 0 when every trace completed, 1 when one\n"
    "                  was stopped or failed, 2 when the command line, an option or the\n"
    "                  targets were refused.\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "Sending ICMP needs the right to open an ICMP socket: see README.md.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("sondrel %s\n", SONDREL_VERSION);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--console") == 0) {
        QCoreApplication app(argc, argv);
        if (argc != 3) {
            std::fputs(Usage, stderr);
            return sondrel::ConsoleRefused;
        }
        return sondrel::RunConsoleMode(QString::fromLocal8Bit(argv[2]));
    }
    if (argc >= 2 && std::strcmp(argv[1], "--trace") == 0) {
        QCoreApplication app(argc, argv);
        if (argc != 3) {
            std::fputs(Usage, stderr);
            return sondrel::TraceRefused;
        }
        return sondrel::RunConsoleTrace(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    return sondrel::RunWindow(arguments.join(QLatin1Char(' ')));
}
