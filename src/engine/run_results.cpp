#include "engine/run_results.h"

#include <algorithm>

namespace sondrel {

namespace {

qint64 cycleLength(const RunResults& run) {
    return qint64(std::max(run.repeatPerIP, 1)) * run.targetCount();
}

}  // namespace

qint64 RunResults::cyclePosition(qint32 index) const {
    const qint64 cycle = cycleLength(*this);
    if (cycle <= 0)
        return 0;
    return (records.firstProbe() + index) % cycle;
}

qint32 RunResults::targetOf(qint32 index) const {
    if (targetCount() == 0)
        return -1;
    return qint32(cyclePosition(index) / std::max(repeatPerIP, 1));
}

// The records of a target are runs of `repeatPerIP` records, one run per cycle: the first run
// starts where the first record's cycle puts the target, the next ones a cycle later.
QList<qint32> RunResults::recordsOf(qint32 target) const {
    QList<qint32> indexes;
    const qint64 cycle = cycleLength(*this);
    const qint32 last = records.lastIndex();
    if (cycle <= 0 || target < 0 || target >= targetCount() || last < 0 || records.at(0).isBlank())
        return indexes;
    const qint64 repeat = std::max(repeatPerIP, 1);
    qint64 runStart = qint64(target) * repeat - cyclePosition(0);
    if (runStart + repeat <= 0)
        runStart += cycle;
    for (; runStart <= last; runStart += cycle)
        for (qint64 i = std::max<qint64>(runStart, 0); i < runStart + repeat && i <= last; ++i)
            indexes.append(qint32(i));
    return indexes;
}

}  // namespace sondrel
