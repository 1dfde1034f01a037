#include "trace/trace_lines.h"

#include <QFile>
#include <algorithm>

#include "common/text_file.h"

namespace sondrel {

namespace {

const QString EndMarker = QStringLiteral("=-=-=-=");
constexpr int JumpTextSpaces = 80;
constexpr int JumpNumberWidth = 10;

QString Numbered(qint32 index) {
    return QLatin1Char('(') + QString::number(qint64(index) + 1) + QStringLiteral("） ");
}

// One line as the store keeps it.
QString StoredLine(const TraceRecord& record, qint32 index, const QString& read) {
    QString line = TrimSpaces(read);
    if (line.contains(QStringLiteral("完成")) && !record.startTime.isEmpty())
        line += QStringLiteral("      从  ") + record.startTime + QStringLiteral("  到  ") +
                record.checkTime;
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    line.replace(QStringLiteral("跟踪"), Numbered(index) + QStringLiteral("跟踪"));
    return line;
}

}  // namespace

void TraceRecord::begin(qint32 index, const QString& text, qint32 maxHops, const QString& title,
                        const QString& started) {
    target = TrimSpaces(text).left(MaxTraceTargetText);
    done = false;
    startTime = started;
    lines = QStringList{TraceCaption(index, target, maxHops)};
    lineCount = 0;
    jumpText = TraceJumpText(title, index);
}

QString TraceCaption(qint32 index, const QString& target, qint32 maxHops) {
    return Numbered(index) + QStringLiteral("路由跟踪") + target + QStringLiteral("最多") +
           QString::number(maxHops) + QStringLiteral(" hops ......");
}

QString TraceJumpText(const QString& title, qint32 index) {
    return title + QString(JumpTextSpaces, QLatin1Char(' ')) + QString::number(index);
}

QStringList SplitTraceOutput(QByteArrayView bytes, bool finished) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r')
            continue;
        lines << DecodeTextLine(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (finished && start < size)
        lines << DecodeTextLine(bytes.sliced(start));
    return lines;
}

bool StoreTraceLines(TraceRecord& record, qint32 index, const QStringList& lines) {
    QStringList stored;
    for (const QString& read : lines) {
        if (TrimSpaces(read) == EndMarker || stored.size() >= record.capacity)
            break;
        stored << StoredLine(record, index, read);
    }
    if (stored.isEmpty())
        return false;
    record.lineCount = qint32(stored.size());
    record.lines = std::move(stored);
    return true;
}

bool ReadTraceOutput(TraceRecord& record, qint32 index, const QString& path, bool finished) {
    QFile file;
    if (!OpenRegularFile(file, path))
        return false;
    const QByteArray bytes = file.read(MaxTraceOutputBytes);
    // A file cut at the bound ends inside a line: that line is not taken.
    const bool whole = file.atEnd();
    file.close();
    return StoreTraceLines(record, index, SplitTraceOutput(bytes, finished && whole));
}

qint64 TraceRowCount(const std::vector<TraceRecord>& records) {
    qint64 rows = 0;
    for (const TraceRecord& record : records)
        rows += qint64(record.lineCount) + 1;
    return rows;
}

TraceRowPosition TraceRowAt(const std::vector<TraceRecord>& records, qint64 row) {
    row = std::max<qint64>(row, 0);
    for (size_t t = 0; t < records.size(); ++t) {
        const qint64 rows = qint64(records[t].lineCount) + 1;
        if (row < rows)
            return {qint32(t), qint32(row)};
        row -= rows;
    }
    if (records.empty())
        return {};
    return {qint32(records.size() - 1), records.back().lineCount};
}

qint64 TraceRowOf(const std::vector<TraceRecord>& records, TraceRowPosition at) {
    qint64 row = 0;
    const size_t end = std::min(records.size(), size_t(std::max(at.target, 0)));
    for (size_t t = 0; t < end; ++t)
        row += qint64(records[t].lineCount) + 1;
    return row + std::max(at.line, 0);
}

TraceRows ShowTraceRows(const std::vector<TraceRecord>& records, TraceRowPosition first) {
    TraceRows shown;
    qint64 target = std::max(first.target, 0);
    qint64 line = std::max(first.line, 0);
    const auto count = qint64(records.size());
    while (shown.rows.size() < TraceRowsShown && target < count) {
        const TraceRecord& record = records[size_t(target)];
        if (line > record.lineCount) {
            ++target;
            line = 0;
            continue;
        }
        shown.rows << TrimSpaces(record.line(line));
        shown.lastTarget = qint32(target);
        ++line;
    }
    while (shown.rows.size() < TraceRowsShown)
        shown.rows << QString();
    return shown;
}

QStringList TraceJumpItems(const std::vector<TraceRecord>& records, bool finished) {
    QStringList items;
    for (const TraceRecord& record : records) {
        if (!record.jumpText.isEmpty() && record.done == finished)
            items << record.jumpText;
    }
    return items;
}

qint32 TraceJumpTarget(const QString& item) {
    bool ok = false;
    const qint32 target = TrimSpaces(item.right(JumpNumberWidth)).toInt(&ok);
    return ok && target >= 0 ? target : -1;
}

QString TraceJumpToolTip(const QString& item) {
    return TrimSpaces(item.left(JumpTextSpaces));
}

}  // namespace sondrel
