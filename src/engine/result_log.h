#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include "engine/reply_record.h"

namespace sondrel {

inline const QString RunLogFileName = QStringLiteral("Quibbet_DB3.txt");
inline const QString TargetTableFileName = QStringLiteral("Quibbet_DB4.txt");

// The header line of the run log.
struct RunLogHeader {
    qint32 targetCount = 0;
    qint32 sizeStepLength = 1;
    qint32 repeatPerIP = 1;
};

// The one line of the run log for a record, CR LF included.
QByteArray RunLogLine(const ReplyRecord& record);
// The same into `out` (at least 128 bytes); returns its length.
qsizetype RunLogLine(const ReplyRecord& record, char* out);

// The two result logs of a run without database logging: the run log, open from the start
// until the stop completion, and the target table, written whole at the start.
class ResultLog {
  public:
    ResultLog() = default;
    ResultLog(const ResultLog&) = delete;
    ResultLog& operator=(const ResultLog&) = delete;
    ~ResultLog() { close(); }

    // Creates both files afresh in `dataFolder` (ending in "/"); the run log stays open.
    // Returns an empty text or the error.
    QString create(const QString& dataFolder, const RunLogHeader& header,
                   const QStringList& targetShow, const QStringList& targetTitle);
    // Appends one probe line; returns an empty text or the error.
    QString append(const ReplyRecord& record);
    // Hands what is buffered to the system; returns an empty text or the error.
    QString flush();
    // Closes the run log (everything written is in the file afterwards).
    QString close();
    bool isOpen() const { return runLog_.isOpen(); }

  private:
    QFile runLog_;
};

}  // namespace sondrel
