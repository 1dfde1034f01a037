#pragma once

#include <QDateTime>
#include <QString>

namespace sondrel {

// The folder of the trace output files: "温度" in the data folder.
QString TraceTempFolder(const QString& dataFolder);

// The common start of a run's output file names: the folder + "/TMP" + year, month, day,
// hour, minute and second of the start, each without leading zeros.
QString TraceFileBase(const QString& tempFolder, const QDateTime& started);

// The output file of target `index` (counted from 0).
QString TraceOutputFile(const QString& fileBase, qint64 index);

// Deletes the folder with everything in it and creates it again, empty. A link in its place is
// removed, never followed, so nothing outside the folder is touched. Returns false (with the
// reason in `error`) when the folder could not be emptied or created.
bool RecreateTraceFolder(const QString& folder, QString* error);

// A date and time as the system shows them: short date, a space, long time.
QString SystemDateTimeText(const QDateTime& when);

}  // namespace sondrel
