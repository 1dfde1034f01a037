#include "engine/result_log.h"

#include <sys/file.h>

#include <charconv>

namespace sondrel {

namespace {

const QByteArray CrLf("\r\n");

void appendNumber(QByteArray& out, qint64 value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end - buffer);
}

QString fileError(const QFile& file) {
    return file.errorString() + QStringLiteral(" (") + file.fileName() + QLatin1Char(')');
}

// True when another run (of this or another instance) is writing the file at `path`.
bool lockedByAnotherRun(const QString& path) {
    QFile existing(path);
    if (!existing.open(QIODevice::ReadOnly)) return false;
    if (::flock(existing.handle(), LOCK_EX | LOCK_NB) == 0) return false;
    return errno == EWOULDBLOCK;
}

// Replaces `path` with an empty file opened for writing, a read-only old file included.
QString recreate(QFile& file, const QString& path) {
    file.setFileName(path);
    if (QFile::exists(path)) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (!QFile::remove(path))
            return fileError(file);
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return fileError(file);
    return {};
}

}  // namespace

QByteArray RunLogLine(const ReplyRecord& r) {
    char buffer[128];
    return QByteArray(buffer, RunLogLine(r, buffer));
}

qsizetype RunLogLine(const ReplyRecord& r, char* out) {
    char* p = out;
    const auto field = [&p](const auto& text) {
        p = std::copy(text.begin(), text.end(), p);
        *p++ = ',';
    };
    field(r.year);
    field(r.month);
    field(r.day);
    field(r.hour);
    field(r.minute);
    field(r.second);
    const QByteArrayView address =
        QByteArrayView(r.address.data(), qsizetype(r.address.size())).trimmed();
    p = std::copy(address.begin(), address.end(), p);
    for (const qint64 value : {qint64(r.size), qint64(r.time), qint64(r.ttl), qint64(r.status)}) {
        *p++ = ',';
        p = std::to_chars(p, p + 24, value).ptr;
    }
    *p++ = '\r';
    *p++ = '\n';
    return p - out;
}

QString ResultLog::create(const QString& dataFolder, const RunLogHeader& header,
                          const QStringList& targetShow, const QStringList& targetTitle) {
    close();
    const QString runLogPath = dataFolder + RunLogFileName;
    // Two instances share the data folder: a run never replaces the log another run writes.
    if (lockedByAnotherRun(runLogPath))
        return QStringLiteral("另一个测试正在写入结果日志 ") + runLogPath;
    QString error = recreate(runLog_, runLogPath);
    if (!error.isEmpty())
        return error;
    ::flock(runLog_.handle(), LOCK_EX | LOCK_NB);
    QByteArray headerLine;
    appendNumber(headerLine, header.targetCount);
    headerLine.append(',');
    appendNumber(headerLine, header.sizeStepLength);
    headerLine.append(',');
    appendNumber(headerLine, header.repeatPerIP);
    headerLine.append(CrLf);
    if (runLog_.write(headerLine) != headerLine.size())
        return fileError(runLog_);

    QFile table;
    error = recreate(table, dataFolder + TargetTableFileName);
    if (!error.isEmpty())
        return error;
    QByteArray lines;
    for (qsizetype i = 0; i < targetShow.size(); ++i)
        lines += (targetShow[i] + QLatin1Char(',') + targetTitle.value(i)).toUtf8() + CrLf;
    if (table.write(lines) != lines.size() || !table.flush())
        return fileError(table);
    table.close();
    return {};
}

QString ResultLog::append(const ReplyRecord& record) {
    if (!runLog_.isOpen())
        return {};
    char line[128];
    const qsizetype size = RunLogLine(record, line);
    if (runLog_.write(line, size) != size)
        return fileError(runLog_);
    return {};
}

QString ResultLog::flush() {
    if (runLog_.isOpen() && !runLog_.flush())
        return fileError(runLog_);
    return {};
}

QString ResultLog::close() {
    if (!runLog_.isOpen())
        return {};
    QString error;
    if (!runLog_.flush())
        error = fileError(runLog_);
    runLog_.close();
    return error;
}

}  // namespace sondrel
