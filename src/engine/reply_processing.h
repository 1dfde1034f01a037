#pragma once

#include <QDateTime>
#include <QString>

#include "engine/echo.h"
#include "engine/reply_record.h"
#include "engine/run_statistics.h"

namespace sondrel {

// What one finished probe leaves behind for the display and the log.
struct ProbeResult {
    qint32 index = 0;  // index of the record it filled
    ReplyLine line;    // the live display row
    QString statusText;
};

// Records one probe's outcome: counts it, fills the next reply record from `when`, the
// address as probed, the size and the reply, updates the statistics and builds the live
// reply line. The caller moves the record index on after logging the record.
ProbeResult RecordProbe(ReplyRecords& records, RunStatistics& stats, const QString& address,
                        qint32 probeSize, const EchoReply& reply, const QDateTime& when);

}  // namespace sondrel
