#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

namespace sondrel {

// The most characters of a target text a record keeps.
inline constexpr int MaxTraceTargetText = 150;
// A line store holds the maximum hops plus this many lines (header, blank and closing lines).
inline constexpr qint64 TraceLinesBeyondHops = 9;
// The rows the results view shows at once.
inline constexpr int TraceRowsShown = 20;
// Of an output file only this much is read: far more than any trace prints.
inline constexpr qint64 MaxTraceOutputBytes = qint64(4) << 20;

// What the system keeps of one target's trace.
struct TraceRecord {
    QString target;  // the traced address, trimmed, at most MaxTraceTargetText characters
    bool done = false;
    QString startTime;  // when its process started, as the system shows date and time
    QString checkTime;  // when its process was last looked at
    qint32 lineCount = 0;
    qint64 capacity = 0;  // the line store's size: lines beyond it are dropped
    QStringList lines;    // the stored lines by number; a number without a line reads empty
    QString jumpText;     // title + 80 spaces + index; empty for a target never started

    QString line(qint64 n) const { return n < lines.size() ? lines.at(n) : QString(); }
    // A trace started for target `index`: line 0 is its caption until the output file has
    // something.
    void begin(qint32 index, const QString& text, qint32 maxHops, const QString& title,
               const QString& started);
};

// The caption of target `index` (counted from 0): "(1） 路由跟踪10.0.0.1最多30 hops ......".
QString TraceCaption(qint32 index, const QString& target, qint32 maxHops);
// The jump list item of a target: its title, 80 spaces, its index.
QString TraceJumpText(const QString& title, qint32 index);

// The complete lines of an output file's bytes, decoded line by line (UTF-8, else GB18030).
// While the program still writes (`finished` false) a last line without its line end is left
// for the next read.
QStringList SplitTraceOutput(QByteArrayView bytes, bool finished);

// Stores the lines read for target `index` as its trace: each trimmed, "完成" lines dated from
// the start to the check time, "跟踪" numbered, up to the first "=-=-=-=" line and the store's
// size. No line leaves the record as it was. Returns whether anything was stored.
bool StoreTraceLines(TraceRecord& record, qint32 index, const QStringList& lines);

// Reads the output file of target `index` into its record; a missing, unreadable or
// irregular file leaves the record as it was.
bool ReadTraceOutput(TraceRecord& record, qint32 index, const QString& path, bool finished);

// Rows of the results view: every target has its lines 0 up to its line count, the last one
// its empty closing row.
qint64 TraceRowCount(const std::vector<TraceRecord>& records);

struct TraceRowPosition {
    qint32 target = 0;
    qint32 line = 0;
};
// Where row `row` (counted over all targets) lies; past the end, at the last closing row.
TraceRowPosition TraceRowAt(const std::vector<TraceRecord>& records, qint64 row);
// The row of a target's line, counted over all targets.
qint64 TraceRowOf(const std::vector<TraceRecord>& records, TraceRowPosition at);

struct TraceRows {
    QStringList rows;        // always TraceRowsShown texts, trimmed; empty past the last target
    qint32 lastTarget = -1;  // the last target with a row among them
};
// The rows shown from a first target and line onwards.
TraceRows ShowTraceRows(const std::vector<TraceRecord>& records, TraceRowPosition first);

// The jump list of the unfinished (`finished` false) or finished traces: the jump text of every
// started target whose done flag matches, in target order.
QStringList TraceJumpItems(const std::vector<TraceRecord>& records, bool finished);
// The target a jump list item names (the number in its last 10 characters); -1 for none.
qint32 TraceJumpTarget(const QString& item);
// The tool tip of a jump list item: its first 80 characters, trimmed.
QString TraceJumpToolTip(const QString& item);

}  // namespace sondrel
