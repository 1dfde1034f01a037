#include "engine/result_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace sondrel {

namespace {

const QByteArray CrLf("\r\n");

void appendNumber(QByteArray& out, qint64 value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end - buffer);
}

QString fileError(const QFile& file) {
    const int error = errno;
    QString text = file.errorString();
    if ((text.isEmpty() || text == QLatin1String("Unknown error")) && error != 0)
        text = QString::fromLocal8Bit(std::strerror(error));
    return text + QStringLiteral(" (") + file.fileName() + QLatin1Char(')');
}

// The system's text for `error`, with the file it concerns.
QString systemError(int error, const QString& path) {
    return QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral(" (") + path +
           QLatin1Char(')');
}

// Replaces `path` with an empty file opened for writing, a read-only old file included.
QString recreate(QFile& file, const QString& path) {
    file.setFileName(path);
    if (QFile::exists(path)) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (!QFile::remove(path))
            return fileError(file);
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
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
    // The lock lives on a file of its own that is never replaced, and it is taken before
    // anything is deleted or created, so of two runs starting together only one gets on.
    const QString lockPath = dataFolder + RunLogLockFileName;
    lockFd_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        return systemError(errno, lockPath);
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(lockFd_);
        lockFd_ = -1;
        if (error == EWOULDBLOCK)
            return QStringLiteral("另一个测试正在写入结果日志 ") + runLogPath;
        return systemError(error, lockPath);
    }
    QString error = recreate(runLog_, runLogPath);
    if (!error.isEmpty())
        return error;
    committed_ = 0;
    QByteArray headerLine;
    appendNumber(headerLine, header.targetCount);
    headerLine.append(',');
    appendNumber(headerLine, header.sizeStepLength);
    headerLine.append(',');
    appendNumber(headerLine, header.repeatPerIP);
    headerLine.append(CrLf);
    error = writeLine(headerLine.constData(), headerLine.size());
    if (!error.isEmpty())
        return error;

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
    return writeLine(line, size);
}

QString ResultLog::writeLine(const char* data, qsizetype size) {
    const int fd = runLog_.handle();
    qsizetype done = 0;
    int error = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size_t(size - done));
        if (written > 0) {
            done += written;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            // A short write is followed by one that tells why; nothing written at all with no
            // reason given is a full disk.
            error = written < 0 ? errno : ENOSPC;
            break;
        }
    }
    if (error == 0) {
        committed_ += size;
        return {};
    }
    // The part of the line that did reach the file is cut off again: the log ends with the
    // last whole line.
    if (done > 0)
        while (::ftruncate(fd, committed_) != 0 && errno == EINTR) {
        }
    return systemError(error, runLog_.fileName());
}

QString ResultLog::flush() {
    return {};
}

QString ResultLog::close() {
    if (runLog_.isOpen())
        runLog_.close();
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // gives up the lock
        lockFd_ = -1;
    }
    return {};
}

}  // namespace sondrel
