#include "scan/scan_report_socket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sondrel {

namespace {

constexpr int HeaderBytes = 8;
constexpr int ReceiveBytes = 65536;

bool MakePrivateFolder(const QString& folder) {
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid())
        return false;
    return ::chmod(path.constData(), 0700) == 0;
}

// Drops the bytes of a UTF-8 character that the buffer's end cut off.
void DropCutCharacter(QByteArray& bytes) {
    qsizetype lead = bytes.size() - 1;
    while (lead >= 0 && lead >= bytes.size() - 4 && (uchar(bytes[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead < 0)
        return;
    const uchar first = uchar(bytes[lead]);
    const qsizetype length = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    if (bytes.size() - lead < length)
        bytes.truncate(lead);
}

}  // namespace

std::optional<QString> DecodeScanReport(const QByteArray& datagram) {
    if (datagram.size() < HeaderBytes)
        return std::nullopt;
    qint32 kind = 0;
    qint32 count = 0;
    std::memcpy(&kind, datagram.constData(), sizeof kind);
    std::memcpy(&count, datagram.constData() + sizeof kind, sizeof count);
    if (kind != ScanReportKind)
        return std::nullopt;
    QByteArray buffer(ScanReportBufferBytes, '\0');
    const qsizetype available = datagram.size() - HeaderBytes;
    const qsizetype taken = std::clamp<qsizetype>(count, 0, std::min<qsizetype>(available, 255));
    std::memcpy(buffer.data(), datagram.constData() + HeaderBytes, size_t(taken));
    if (const qsizetype zero = buffer.indexOf('\0'); zero >= 0)
        buffer.truncate(zero);
    DropCutCharacter(buffer);
    return QString::fromUtf8(buffer);
}

QString ScanReportSocketPath(const QString& directory, const QString& endpoint) {
    return directory + QStringLiteral("/scan-") + endpoint + QStringLiteral(".sock");
}

QString ScanReportDirectory(const QString& dataFolder) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QString folder = QDir(runtime).filePath(QStringLiteral("sondrel"));
        if (MakePrivateFolder(folder))
            return folder;
    }
    const QString folder = QDir(dataFolder).filePath(QStringLiteral(".scan-reports"));
    MakePrivateFolder(folder);
    return folder;
}

ScanReportSocket::ScanReportSocket() = default;

ScanReportSocket::~ScanReportSocket() {
    close();
}

bool ScanReportSocket::open(const QString& directory, const QString& endpoint, QString* error) {
    close();
    const QByteArray path = QFile::encodeName(ScanReportSocketPath(directory, endpoint));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) {
        if (error)
            *error = QStringLiteral("path too long: ") + QFile::decodeName(path);
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()) + 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::unlink(path.constData());  // left by an earlier process with this number
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral(": ") +
                     QFile::decodeName(path);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const int queue = 1 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &queue, sizeof queue);
    fd_ = fd;
    path_ = QFile::decodeName(path);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readAll(); });
    return true;
}

void ScanReportSocket::close() {
    notifier_.reset();
    if (fd_ < 0)
        return;
    ::close(fd_);
    ::unlink(QFile::encodeName(path_).constData());
    fd_ = -1;
}

void ScanReportSocket::readAll() {
    QByteArray buffer(ReceiveBytes, '\0');
    while (fd_ >= 0) {
        iovec data{buffer.data(), size_t(buffer.size())};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
        msghdr message{};
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t length = ::recvmsg(fd_, &message, MSG_DONTWAIT);
        if (length < 0)
            return;
        const cmsghdr* c = CMSG_FIRSTHDR(&message);
        ucred sender{};
        const bool known = c && c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS;
        if (known)
            std::memcpy(&sender, CMSG_DATA(c), sizeof sender);
        if (!known || sender.uid != ::getuid()) {
            ++refused_;
            continue;
        }
        const std::optional<QString> text =
            DecodeScanReport(QByteArray(buffer.constData(), qsizetype(length)));
        if (text)
            Q_EMIT reportReceived(*text);
    }
}

}  // namespace sondrel
