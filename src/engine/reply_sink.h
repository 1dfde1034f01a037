#pragma once

#include <QString>

#include "engine/reply_record.h"
#include "targets/target_expansion.h"

namespace sondrel {

// What a run tells its reply sink when it opens: the header line of the run log.
struct RunLogHeader {
    qint32 targetCount = 0;
    qint32 sizeStepLength = 1;
    qint32 repeatPerIP = 1;
};

// Where the probes of a run are kept beyond memory: the result logs, or the database. The
// run opens it at the start, hands it every probe in send order, flushes it after every
// round and closes it at the stop completion. Every call returns an empty text or the error,
// which ends the probing of the run.
class ReplySink {
  public:
    virtual ~ReplySink() = default;

    virtual QString create(const RunLogHeader& header, const ExpandedTargets& targets) = 0;
    // `target` is the index of the probed target in `targets` of create().
    virtual QString append(const ReplyRecord& record, qint32 target) = 0;
    virtual QString flush() = 0;
    // Everything appended is stored (or counted as failed) when close() returns.
    virtual QString close() = 0;
    // Probes that could not be stored and did not end the run (rows the database refused).
    virtual qint32 failedCount() const { return 0; }
};

}  // namespace sondrel
