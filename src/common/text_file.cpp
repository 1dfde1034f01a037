#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLatin1Char>
#include <QStringDecoder>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

namespace sondrel {

QString DecodeTextLine(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GB18030", QStringDecoder::Flag::Stateless);
    if (!gbk.isValid())
        return text;  // no GB18030 codec: keep UTF-8 with replacement marks
    return gbk.decode(bytes);
}

namespace {

// Splits at CR LF, LF and lone CR and decodes every line on its own. Neither UTF-8 nor
// GB18030 uses these bytes inside a character, so splitting before decoding is safe.
QStringList SplitAndDecode(QByteArrayView bytes) {
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
    if (start < size)
        lines << DecodeTextLine(bytes.sliced(start));  // a last line without a line end
    return lines;
}

QString SystemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

void SetError(QString* error, const QString& text) {
    if (error != nullptr)
        *error = text;
}

// Reads a regular file of at most MaxTextFileSize bytes; anything else fails.
bool ReadRegularFile(const QString& path, QByteArray* bytes) {
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that a FIFO without a writer does not stall the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= MaxTextFileSize) {
        bytes->resize(qsizetype(info.st_size));
        qsizetype have = 0;
        ok = true;
        for (;;) {
            if (have == bytes->size()) {
                if (have > MaxTextFileSize) {
                    ok = false;  // grew past the bound while being read
                    break;
                }
                bytes->resize(have + 4096);  // the file may have grown since fstat
            }
            const ssize_t got = ::read(fd, bytes->data() + have, size_t(bytes->size() - have));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                ok = false;
                break;
            }
            if (got == 0)
                break;
            have += got;
        }
        bytes->resize(have);
        if (have > MaxTextFileSize)
            ok = false;
    }
    ::close(fd);
    if (!ok)
        bytes->clear();
    return ok;
}

bool WriteAll(int fd, const QByteArray& data, int* code) {
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t put = ::write(fd, next, size_t(left));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            *code = errno;
            return false;
        }
        if (put == 0) {
            *code = ENOSPC;
            return false;
        }
        next += put;
        left -= put;
    }
    return true;
}

}  // namespace

QStringList ReadTextLines(const QString& path, bool* ok) {
    if (ok != nullptr)
        *ok = false;
    QByteArray bytes;
    if (!ReadRegularFile(path, &bytes))
        return {};
    if (ok != nullptr)
        *ok = true;
    return SplitAndDecode(bytes);
}

QString TrimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

bool ReadFileBytes(const QString& path, QByteArray* bytes, QString* error) {
    if (ReadRegularFile(path, bytes))
        return true;
    const QFileInfo info(path);
    if (!info.exists())
        SetError(error, SystemError(ENOENT));
    else if (!info.isFile())
        SetError(error, QStringLiteral("不是普通文件：") + path);
    else if (info.size() > MaxTextFileSize)
        SetError(error, SystemError(EFBIG));
    else
        SetError(error, SystemError(EACCES));
    return false;
}

bool WriteTextFileAtomically(const QString& path, const QStringList& lines, QString* error) {
    QByteArray data;
    for (const QString& line : lines) {
        data += line.toUtf8();
        data += "\r\n";
    }
    return WriteFileAtomically(path, data, error);
}

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    // A link is followed: the file it points to is the one replaced.
    QFileInfo target(path);
    if (target.isSymLink())
        target = QFileInfo(target.symLinkTarget());
    const QString finalPath = target.absoluteFilePath();
    const QByteArray finalName = QFile::encodeName(finalPath);
    struct stat old {};
    const bool hadFile = ::stat(finalName.constData(), &old) == 0;

    // The temporary file sits beside the final one, so the rename stays on one file system.
    static std::atomic<unsigned> counter{0};
    const QString base = target.absolutePath() + QStringLiteral("/.") + target.fileName();
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = QFile::encodeName(
            base + QStringLiteral(".%1.%2.tmp").arg(::getpid()).arg(counter.fetch_add(1)));
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        SetError(error, SystemError(errno));
        return false;
    }

    int code = 0;
    bool ok = WriteAll(fd, data, &code);
    if (ok && hadFile && ::fchmod(fd, old.st_mode & 07777) != 0) {
        code = errno;
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        code = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        code = errno;
        ok = false;
    }
    if (ok && ::rename(tempName.constData(), finalName.constData()) != 0) {
        code = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        SetError(error, SystemError(code));
        return false;
    }
    // Make the rename itself lasting; a failure here leaves the new file in place anyway.
    const int dirFd =
        ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

TrimmedLineReader::TrimmedLineReader(const QString& path) {
    lines_ = ReadTextLines(path, &open_);
}

TrimmedLineReader::TrimmedLineReader(QStringList lines) : lines_(std::move(lines)), open_(true) {}

QString TrimmedLineReader::readTrimmedLine() {
    if (atEnd())
        return {};
    return TrimSpaces(lines_.at(next_++));
}

bool OpenRegularFile(QFile& file, const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

}  // namespace sondrel
