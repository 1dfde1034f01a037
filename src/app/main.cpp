#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "app/console_exports.h"
#include "app/console_mode.h"
#include "app/console_scan.h"
#include "app/console_trace.h"
#include "app/ui/window_main.h"

namespace {

const char* const Usage =
    "Usage: sondrel [ARGUMENTS]\n"
    "       sondrel --console \"TARGET;INTERVAL;SIZE;TIMEOUT;TIMES;REPEAT\"\n"
    "       sondrel --console \"...\" [--export FILE] [--report FILE [--group-by MINUTES|size]]\n"
    "       sondrel --trace \"TARGETS;HOPS;HOSTLIST;TIMEOUT;RESOLVE\"\n"
    "       sondrel --scan TARGETS\n"
    "\n"
    "Without --console, --trace or --scan the window opens; ARGUMENTS in the six-field form start "
    "a\n"
    "ping test at once.\n"
    "\n"
    "  --console TEXT  run one ping test without a window and print every reply line,\n"
    "                  then the summary. Example:\n"
    "                  sondrel --console \"127.0.0.1;1000 毫秒;32  字节;500 毫秒;4;1\"\n"
    "                  TIMES \"Continually\" runs until Ctrl+C. Exit status: 0 when a\n"
    "                  reply came, 1 when none did, 2 when the command line, a parameter\n"
    "                  or the target was refused.\n"
    "    --export FILE           after --console TEXT: once the run has ended (also by\n"
    "                            Ctrl+C), write its results to FILE, text or CSV by its\n"
    "                            ending (.txt or .csv); an existing FILE is replaced.\n"
    "    --report FILE           likewise the summary report, one block per target;\n"
    "    --group-by MINUTES|size its rows by periods of MINUTES (default: the run's\n"
    "                            length / 10) or by buffer size. A FILE not written\n"
    "                            gives exit status 2.\n"
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
    "  --scan TARGETS  scan an address, a range \"10.0.0.1-10.0.0.254\" or list positions\n"
    "                  \"/3/\" without a window: one line per address, then the totals. Exit\n"
    "                  status: 0 when an address answered, 1 when none did, 2 when the\n"
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
        if (argc < 3 || !sondrel::UseConsoleExports(QCoreApplication::arguments().mid(3))) {
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
    if (argc >= 2 && std::strcmp(argv[1], "--scan") == 0) {
        QCoreApplication app(argc, argv);
        if (argc != 3) {
            std::fputs(Usage, stderr);
            return sondrel::ScanRefused;
        }
        return sondrel::RunConsoleScan(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    return sondrel::RunWindow(arguments.join(QLatin1Char(' ')));
}
