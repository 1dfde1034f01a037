#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace sondrel {

// The mode words of the interval and size sequences.
inline const QString SteppedMode = QStringLiteral("增量");
inline const QString ListMode = QStringLiteral("多个");

// The stepped interval: every `repeat` rounds the interval moves by `step` from `from`
// towards `to`; the value that would reach or pass `to` becomes 1 ms for the rest of the run.
struct IntervalSteps {
    QString mode;  // "增量" stepped, empty for one value
    double from = 0;
    double to = 0;
    double step = 0;
    qint16 repeat = 1;
    qint32 current = 0;  // the interval in force (ms)
    qint32 round = 1;    // rounds made at the current value, counting the one under way

    // Ends a round; returns the new interval when it changed.
    std::optional<qint32> endRound();
};

// The size sequence: each value lasts `stepLength` target visits, then the next follows, and
// after the last value the sequence starts over. Stepped sizes run from `from` by `step`; a
// list takes its values in order.
struct SizeSteps {
    QString mode;  // "增量" stepped, "多个" list, empty for one value
    double from = 0;
    double to = 0;
    double step = 0;
    QList<qint32> list{32};  // each value's payload is that many spaces
    qint16 count = 1;        // values in the sequence
    qint16 index = 0;        // the value in force
    qint16 repeat = 1;
    qint32 stepLength = 1;  // target visits per value, set by the start
    qint32 visits = 0;      // visits made at the current value
    QString summary;

    // Moves on by one target visit; returns the size of that visit, or nothing for one value.
    std::optional<qint32> nextVisit();
};

// The run parameters that the parameter boxes produce and the tick and probes read.
struct RunParameters {
    int timerInterval = 600;  // interval of the tick timer (ms)
    IntervalSteps interval;

    // Size of the next probe; its payload is that many spaces.
    qint32 probeSize = 32;
    SizeSteps size;

    qint32 probeTimeout = 500;
    qint32 testTimes = 0;  // rounds; 0 runs until stopped
    qint32 repeatPerIP = 1;
};

}  // namespace sondrel
