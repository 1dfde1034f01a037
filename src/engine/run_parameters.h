#pragma once

#include <QList>
#include <QString>

namespace sondrel {

// The mode words of the interval and size sequences.
inline const QString SteppedMode = QStringLiteral("增量");
inline const QString ListMode = QStringLiteral("多个");

// The run parameters that the parameter boxes produce and the tick and probes read.
// Mode texts are the stored words: "增量" stepped, "多个" list, empty for one value.
struct RunParameters {
    // Interval of the tick timer (ms) and the stepped interval sequence.
    int timerInterval = 600;
    QString intervalMode;
    double intervalFrom = 0;
    double intervalTo = 0;
    double intervalStep = 0;
    qint16 intervalRepeat = 1;
    qint32 currentInterval = 0;

    // Size of the next probe; its payload is that many spaces.
    qint32 probeSize = 32;

    // Size sequence.
    QString sizeMode;
    double sizeFrom = 0;
    double sizeTo = 0;
    double sizeStep = 0;
    QList<qint32> sizeList{32};  // each value's payload is that many spaces
    qint16 sizeStepCount = 1;
    qint16 sizeStepIndex = 0;
    qint16 sizeRepeat = 1;
    qint32 sizeStepLength = 1;      // target visits per size value, set by the start
    qint32 sizeStepProbeCount = 0;  // visits made at the current value
    QString sizeSummary;

    qint32 probeTimeout = 500;
    qint32 testTimes = 0;  // rounds; 0 runs until stopped
    qint32 repeatPerIP = 1;
};

}  // namespace sondrel
