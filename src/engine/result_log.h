#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <utility>

#include "engine/reply_record.h"
#include "engine/reply_sink.h"

namespace sondrel {

inline const QString RunLogFileName = QStringLiteral("Quibbet_DB3.txt");
inline const QString TargetTableFileName = QStringLiteral("Quibbet_DB4.txt");

// The one line of the run log for a record, CR LF included.
QByteArray RunLogLine(const ReplyRecord& record);
// The same into `out` (at least 128 bytes); returns its length.
qsizetype RunLogLine(const ReplyRecord& record, char* out);

// The lock file beside the run log: held by the run writing the log, from before the logs are
// replaced until the run log is closed.
inline const QString RunLogLockFileName = QStringLiteral("Quibbet_DB3.txt.lock");

// The two result logs of a run without database logging: the run log, open from the start
// until the stop completion, and the target table, written whole at the start. The run log
// only ever holds whole lines: each is written at once, and a line the disk took only part of
// is cut off again.
class ResultLog final : public ReplySink {
  public:
    // `dataFolder` (ending in "/") is where create() without a folder puts the logs.
    explicit ResultLog(QString dataFolder = {}) : dataFolder_(std::move(dataFolder)) {}
    ResultLog(const ResultLog&) = delete;
    ResultLog& operator=(const ResultLog&) = delete;
    ~ResultLog() override { close(); }

    QString create(const RunLogHeader& header, const ExpandedTargets& targets) override {
        return create(dataFolder_, header, targets.targetShow, targets.targetTitle);
    }
    QString append(const ReplyRecord& record, qint32) override { return append(record); }

    // Creates both files afresh in `dataFolder` (ending in "/"); the run log stays open.
    // Returns an empty text or the error.
    QString create(const QString& dataFolder, const RunLogHeader& header,
                   const QStringList& targetShow, const QStringList& targetTitle);
    // Appends one probe line; returns an empty text or the error.
    QString append(const ReplyRecord& record);
    // Nothing is buffered: every line is with the system once append() returns.
    QString flush() override;
    // Closes the run log and gives up the lock.
    QString close() override;
    bool isOpen() const { return runLog_.isOpen(); }

  private:
    // Writes one whole line at the end of the run log, or nothing at all.
    QString writeLine(const char* data, qsizetype size);

    QString dataFolder_;
    QFile runLog_;
    qint64 committed_ = 0;  // the bytes of whole lines in the run log
    int lockFd_ = -1;
};

}  // namespace sondrel
