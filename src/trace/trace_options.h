#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "common/user_prompts.h"

namespace sondrel {

// The maximum hops of a trace whose hop box is empty: what tracert itself uses then.
inline constexpr qint32 DefaultTraceMaxHops = 30;

// The texts of the trace options frame as the operator typed them.
struct TraceOptionTexts {
    QString maxHops;            // "最大跃点数："
    QString hostList;           // "主机列表："
    QString timeOut;            // "超时时间"
    bool resolveNames = false;  // "地址解析为主机名："
};

// Validated trace options.
struct TraceOptions {
    qint32 maxHops = DefaultTraceMaxHops;  // TraceMaxHops: sizes the line stores
    bool hopsGiven = false;                // "-h" goes on the command
    QStringList hosts;                     // loose source route hosts ("-j"), in order
    qint32 timeOutMs = 0;                  // "-w"; 0 when not given
    bool resolveNames = false;             // without it the command gets "-d"
    QString text;                          // the command as shown: "tracert -d -h 30 -w 4000 "
};

// Checks the three option texts; on a bad one shows its message (critical icon) and returns
// nothing.
std::optional<TraceOptions> BuildTraceOptions(const TraceOptionTexts& texts, UserPrompts& prompts);

// The arguments of our tracert program for one target: the options in the order of the shown
// command, each host of the host list as an argument of its own, the target last. The program
// is started without a shell, so no text here can become a command.
QStringList TraceArguments(const TraceOptions& options, const QString& target);

// The host list an entry line gives when picked from the host list's drop-down: a single
// entry's address, or the host parts of a group's first nine members joined by single spaces.
// Nothing for a range or anything else.
std::optional<QString> TraceHostListFromEntry(const QString& entryLine);

}  // namespace sondrel
