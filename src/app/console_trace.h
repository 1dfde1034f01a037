#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "trace/trace_lines.h"
#include "trace/trace_options.h"

namespace sondrel {

// Exit statuses of the console trace.
enum TraceExit {
    TraceAllCompleted = 0,  // every trace ran to its end
    TraceIncomplete = 1,    // stopped, or a tracert failed (did not start, or exited non-zero)
    TraceRefused = 2,       // the command line, an option or the targets were refused
};

// The five fields of "TARGETS;HOPS;HOSTLIST;TIMEOUT;RESOLVE": the targets as field 0 of the
// ping command line, the three option texts as written, and the resolve-names box ("1"
// checked, "0" not).
struct TraceCommandLine {
    QString targets;
    TraceOptionTexts options;
};

// False, with nothing set, unless the text has exactly five fields and RESOLVE is "1" or "0".
bool ParseTraceCommandLine(const QString& text, TraceCommandLine* parsed);

// Hands out the lines of a run's records for printing: in target order, each line once, and
// only once it can no longer change. The target being printed gives its lines as they are
// read, up to the first line that may still change: a "完成" line gains the time of every new
// read, so it and what follows wait for the target's end. The next target follows once this
// one is done. A target that ended without any line gives its caption; one never started gives
// nothing.
class TraceConsoleLines {
  public:
    // The lines that became final since the last call. `over`: the run has ended, and every
    // line read so far is final.
    QStringList take(const std::vector<TraceRecord>& records, bool over);
    // The target whose lines are printed now.
    qint32 target() const { return target_; }

  private:
    qint32 target_ = 0;
    qint32 printed_ = 0;  // lines of target_ already handed out
};

// Runs one route trace without a window from the argument text above and returns its exit
// status. Prints the lines of every target to stdout, messages to stderr; leaves the output
// files in the "温度" folder of the data folder as the window does. Needs a running
// QCoreApplication; Ctrl+C, SIGTERM and SIGHUP stop it as the stop command does.
int RunConsoleTrace(const QString& argumentText);

}  // namespace sondrel
