#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "engine/reply_record.h"
#include "engine/result_log.h"
#include "engine/run_statistics.h"

namespace sondrel {

// The previous run rebuilt from its result logs.
struct ReloadedRun {
    RunLogHeader header;
    bool headerValid = false;          // the header held three numbers and at least one target
    std::vector<ReplyRecord> records;  // the last ReplyRecords::Capacity probes at most
    qint64 firstProbe = 0;             // probe lines of the log before the first record
    RunStatistics stats;               // over every probe line of the log
    QStringList targetShow;
    QStringList targetTitle;
};

// Reads one run log line into a record; nothing when the line is malformed.
std::optional<ReplyRecord> ParseRunLogLine(const QByteArray& line);

// Reads the run log at `path` up to its first empty line. Returns nothing when the log has no
// probe line or a line is malformed; `out` then keeps the records read before that line. A cut
// last line (no line end) is left out and the rest read as complete.
// Header fields that do not read keep their defaults, and `headerValid` tells.
bool ReadRunLog(const QString& path, ReloadedRun& out);

// Reads the target table for `count` targets; missing lines give empty texts. Returns an empty
// text or the error.
QString ReloadTargetTable(const QString& path, qint32 count, QStringList& show, QStringList& title);

// Statistics as the reload rebuilds them from the probe lines.
class ReloadTally {
  public:
    void add(const ReplyRecord& record);
    RunStatistics finish() const;

  private:
    double lines_ = 0;
    double lost_ = 0;
    double timeSum_ = 0;
    double ttlSum_ = 0;
    qint32 max_ = 0;
    qint32 min_ = RunStatistics::NoMinimum;
};

}  // namespace sondrel
