#pragma once

#include <QList>

#include "engine/reply_record.h"
#include "engine/run_statistics.h"
#include "targets/target_expansion.h"

namespace sondrel {

// What the results pane, the exports and the reports read of a run: the records in probe
// order, the statistics, the targets and the repeat count of the run. The targets are probed
// in list order, `repeatPerIP` times each, so the probes of a run lie in cycles of
// targetCount() × repeatPerIP; each record knows its place in that cycle even after the
// record array wrapped or a reload left the oldest lines of a long log out.
struct RunResults {
    const ReplyRecords& records;
    const RunStatistics& statistics;
    const ExpandedTargets& targets;
    qint32 repeatPerIP = 1;

    qint32 targetCount() const { return targets.count(); }
    // The place of record `index` in its probe cycle, 0 … targetCount() × repeatPerIP − 1.
    qint64 cyclePosition(qint32 index) const;
    // The target that record `index` probed; -1 for a run without targets.
    qint32 targetOf(qint32 index) const;
    // The indexes of the records of `target`, in record order.
    QList<qint32> recordsOf(qint32 target) const;
};

}  // namespace sondrel
