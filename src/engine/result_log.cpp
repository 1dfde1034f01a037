#include "engine/result_log.h"

#include <charconv>

namespace sondrel {

namespace {

const QByteArray CrLf("\r\n");

void appendNumber(QByteArray& out, qint64 value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end - buffer);
}

template <size_t N>
void appendField(QByteArray& out, const std::array<char, N>& field) {
    out.append(field.data(), qsizetype(N));
    out.append(',');
}

QString fileError(const QFile& file) {
    return file.errorString() + QStringLiteral(" (") + file.fileName() + QLatin1Char(')');
}

// Replaces `path` with an empty file opened for writing, a read-only old file included.
QString recreate(QFile& file, const QString& path) {
    file.setFileName(path);
    if (QFile::exists(path)) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (!QFile::remove(path)) return fileError(file);
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return fileError(file);
    return {};
}

}  // namespace

QByteArray RunLogLine(const ReplyRecord& r) {
    QByteArray out;
    out.reserve(64);
    appendField(out, r.year);
    appendField(out, r.month);
    appendField(out, r.day);
    appendField(out, r.hour);
    appendField(out, r.minute);
    appendField(out, r.second);
    out.append(QByteArray(r.address.data(), qsizetype(r.address.size())).trimmed());
    for (const qint64 value : {qint64(r.size), qint64(r.time), qint64(r.ttl), qint64(r.status)}) {
        out.append(',');
        appendNumber(out, value);
    }
    out.append(CrLf);
    return out;
}

QString ResultLog::create(const QString& dataFolder, const RunLogHeader& header,
                          const QStringList& targetShow, const QStringList& targetTitle) {
    close();
    QString error = recreate(runLog_, dataFolder + RunLogFileName);
    if (!error.isEmpty()) return error;
    QByteArray headerLine;
    appendNumber(headerLine, header.targetCount);
    headerLine.append(',');
    appendNumber(headerLine, header.sizeStepLength);
    headerLine.append(',');
    appendNumber(headerLine, header.repeatPerIP);
    headerLine.append(CrLf);
    if (runLog_.write(headerLine) != headerLine.size()) return fileError(runLog_);

    QFile table;
    error = recreate(table, dataFolder + TargetTableFileName);
    if (!error.isEmpty()) return error;
    QByteArray lines;
    for (qsizetype i = 0; i < targetShow.size(); ++i)
        lines += (targetShow[i] + QLatin1Char(',') + targetTitle.value(i)).toUtf8() + CrLf;
    if (table.write(lines) != lines.size() || !table.flush()) return fileError(table);
    table.close();
    return {};
}

QString ResultLog::append(const ReplyRecord& record) {
    if (!runLog_.isOpen()) return {};
    const QByteArray line = RunLogLine(record);
    if (runLog_.write(line) != line.size()) return fileError(runLog_);
    return {};
}

QString ResultLog::flush() {
    if (runLog_.isOpen() && !runLog_.flush()) return fileError(runLog_);
    return {};
}

QString ResultLog::close() {
    if (!runLog_.isOpen()) return {};
    QString error;
    if (!runLog_.flush()) error = fileError(runLog_);
    runLog_.close();
    return error;
}

}  // namespace sondrel
