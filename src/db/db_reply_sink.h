#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "common/user_prompts.h"
#include "db/db_setup.h"
#include "engine/reply_sink.h"

class QThread;

namespace sondrel {

// The replies of a run as rows of the set-up's table, one per probe. The rows are written by a
// thread of their own over its own connection, in send order and in small transactions, so the
// probing never waits for the database. A row the database refuses is counted, never retried
// alone; the stop completion (close()) waits until every row handed over is written or counted.
class DbReplySink final : public ReplySink {
  public:
    // At most this many rows (about 60 MB) wait for the writer: memory stays bounded when the
    // database cannot keep up for long. Beyond them a row is counted as failed, never blocks.
    static constexpr qsizetype MaxQueuedRows = 1'000'000;
    // Rows written in one transaction at most.
    static constexpr qsizetype BatchRows = 5000;
    // Rows of one insert statement inside a transaction: 800 parameters, within what every
    // server takes (SQL Server at most 2,100 parameters and 1,000 rows of values).
    static constexpr qsizetype StatementRows = 100;

    // `dataFolder` (ending in "/") holds the default database.
    DbReplySink(DbSetup setup, QString dataFolder, UserPrompts& prompts);
    DbReplySink(const DbReplySink&) = delete;
    DbReplySink& operator=(const DbReplySink&) = delete;
    ~DbReplySink() override;

    // Opens the connection. When that fails the operator sees the driver's reason and the run
    // goes on without rows: the start never fails here.
    QString create(const RunLogHeader& header, const ExpandedTargets& targets) override;
    QString append(const ReplyRecord& record, qint32 target) override;
    QString flush() override { return {}; }
    // Waits for the writer, keeping the window painted; user input waits meanwhile.
    QString close() override;
    qint32 failedCount() const override;
    // The connection of the run is open: rows are written.
    bool connected() const { return connected_; }

    struct Shared;

  private:
    DbSetup setup_;
    QString dataFolder_;
    UserPrompts& prompts_;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<QThread> writer_;
    bool connected_ = false;
};

// The one line a run with refused rows leaves in the program's messages: the count, the rows
// of it that found the queue full, and the database's words for the last refusal.
QString FailureSummary(qint32 failed, qint32 overflowed, const QString& lastError);

}  // namespace sondrel
