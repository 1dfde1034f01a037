#include "engine/icmp_echo.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <span>

#include "net/icmp_packet.h"

namespace sondrel {

namespace {

// The message header of one recvmsg: the sender's address, one data buffer, ancillary data.
msghdr receiveHeader(sockaddr_in& address, iovec& data, char* control, size_t controlSize) {
    msghdr msg{};
    msg.msg_name = &address;
    msg.msg_namelen = sizeof address;
    msg.msg_iov = &data;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = controlSize;
    return msg;
}

constexpr int HeaderSize = net::IcmpHeaderSize;
constexpr int ReceiveSize = 65536;
constexpr int ReadsPerWakeUp = 64;
constexpr int IcmpFilterOption = 1;  // ICMP_FILTER of <linux/icmp.h> (that header clashes)

static_assert(net::IcmpStatus::NetUnreachable == EchoStatus::NetUnreachable &&
              net::IcmpStatus::HostUnreachable == EchoStatus::HostUnreachable &&
              net::IcmpStatus::ProtocolUnreachable == EchoStatus::ProtocolUnreachable &&
              net::IcmpStatus::PortUnreachable == EchoStatus::PortUnreachable &&
              net::IcmpStatus::PacketTooBig == EchoStatus::PacketTooBig &&
              net::IcmpStatus::TtlExpiredTransit == EchoStatus::TtlExpiredTransit &&
              net::IcmpStatus::TtlExpiredReassembly == EchoStatus::TtlExpiredReassembly &&
              net::IcmpStatus::ParameterProblem == EchoStatus::ParameterProblem &&
              net::IcmpStatus::SourceQuench == EchoStatus::SourceQuench &&
              net::IcmpStatus::GeneralFailure == EchoStatus::GeneralFailure);

qint64 monotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

qint64 elapsedNs(const timespec& from, const timespec& to) {
    return qint64(to.tv_sec - from.tv_sec) * 1'000'000'000 + (to.tv_nsec - from.tv_nsec);
}

qint32 sendErrorStatus(int error) {
    switch (error) {
        case ENETUNREACH:
            return EchoStatus::NetUnreachable;
        case EHOSTUNREACH:
            return EchoStatus::HostUnreachable;
        case EMSGSIZE:
            return EchoStatus::PacketTooBig;
        case ENOBUFS:
        case ENOMEM:
        case EAGAIN:
            return EchoStatus::NoResources;
        default:
            return EchoStatus::GeneralFailure;
    }
}

// Each raw-socket transport carries its own identifier; the start is random so that two
// processes are unlikely to share one.
quint16 nextRawIdentifier() {
    static std::atomic<quint32> next{QRandomGenerator::global()->generate()};
    return quint16(next.fetch_add(1));
}

void setOption(int fd, int level, int name, int value) {
    ::setsockopt(fd, level, name, &value, sizeof value);
}

QString binaryPath() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString pingGroupRange() {
    QFile file(QStringLiteral("/proc/sys/net/ipv4/ping_group_range"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).simplified();
}

}  // namespace

qint32 IcmpErrorStatus(int type, int code) {
    return net::IcmpErrorStatus(type, code);
}

// One packet as read from the socket: an ICMP message (datagram) or an IP packet (raw).
struct IcmpEcho::Received {
    const quint8* data;
    int length;
    quint32 source;  // host byte order
    int ttl;         // -1 when the kernel did not say
    timespec at;     // kernel receive time, CLOCK_REALTIME
};

IcmpEcho::IcmpEcho(SocketKind kind)
    : wanted_(kind),
      slotBySequence_(65536, -1),
      packet_(HeaderSize + MaxProbeSize, 0x20),
      receive_(ReceiveSize) {
    timeoutTimer_.setSingleShot(true);
    timeoutTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timeoutTimer_, &QTimer::timeout, [this] { expire(); });
    deferTimer_.setSingleShot(true);
    QObject::connect(&deferTimer_, &QTimer::timeout, [this] { deliverDeferred(); });
}

IcmpEcho::~IcmpEcho() {
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

QString IcmpEcho::open() {
    if (fd_ >= 0)
        return {};
    int datagramErrno = 0;
    int rawErrno = 0;
    if (wanted_ != SocketKind::Raw) {
        fd_ = openSocket(SocketKind::Datagram);
        if (fd_ < 0)
            datagramErrno = errno;
    }
    if (fd_ < 0 && wanted_ != SocketKind::Datagram) {
        fd_ = openSocket(SocketKind::Raw);
        if (fd_ < 0)
            rawErrno = errno;
    }
    if (fd_ < 0)
        return noPrivilegeMessage(wanted_, datagramErrno, rawErrno);
    ++epoch_;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readPending(); });
    return {};
}

// Returns the socket, or -1 with errno set by the call that failed.
int IcmpEcho::openSocket(SocketKind kind) {
    const int type = kind == SocketKind::Raw ? SOCK_RAW : SOCK_DGRAM;
    const int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0)
        return -1;
    // Like the platform's echo service: no DF bit, the stack fragments large requests.
    setOption(fd, SOL_IP, IP_MTU_DISCOVER, IP_PMTUDISC_DONT);
    setOption(fd, SOL_SOCKET, SO_TIMESTAMPNS, 1);
    setOption(fd, SOL_SOCKET, SO_RCVBUF, 1 << 20);
    if (kind == SocketKind::Raw) {
        // Pass only echo replies and the errors that can carry one of our requests.
        namespace IcmpType = net::IcmpType;
        const quint32 wanted = 1u << IcmpType::EchoReply | 1u << IcmpType::Unreachable |
                               1u << IcmpType::SourceQuench | 1u << IcmpType::TimeExceeded |
                               1u << IcmpType::ParameterProblem;
        const quint32 filter = ~wanted;
        ::setsockopt(fd, SOL_RAW, IcmpFilterOption, &filter, sizeof filter);
        ident_ = nextRawIdentifier();
        openKind_ = SocketKind::Raw;
        return fd;
    }
    setOption(fd, SOL_IP, IP_RECVERR, 1);
    setOption(fd, SOL_IP, IP_RECVTTL, 1);
    // Binding to "port" 0 makes the kernel pick the identifier now, so we can report it.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    socklen_t length = sizeof local;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) < 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    ident_ = ntohs(local.sin_port);
    openKind_ = SocketKind::Datagram;
    return fd;
}

QString IcmpEcho::noPrivilegeMessage(SocketKind kind, int datagramErrno, int rawErrno) {
    const QString gid = QString::number(getegid());
    QString text = QStringLiteral("无法打开 ICMP 套接字，不能发送侦测请求。");
    if (kind != SocketKind::Raw) {
        text += QStringLiteral(
                    "ICMP 数据报套接字被拒绝（%1）：net.ipv4.ping_group_range"
                    "（当前为 \"%2\"）必须包含组 %3。")
                    .arg(QString::fromLocal8Bit(strerror(datagramErrno)), pingGroupRange(), gid);
    }
    if (kind != SocketKind::Datagram) {
        text += QStringLiteral("原始 ICMP 套接字被拒绝（%1）：需要 root 或 CAP_NET_RAW 权限。")
                    .arg(QString::fromLocal8Bit(strerror(rawErrno)));
    }
    text += QStringLiteral("授权方法：");
    if (kind != SocketKind::Datagram)
        text += QStringLiteral("\"sudo setcap cap_net_raw+ep %1\"").arg(binaryPath());
    if (kind == SocketKind::Auto)
        text += QStringLiteral("，或 ");
    if (kind != SocketKind::Raw) {
        text += QStringLiteral(
                    "\"sudo sysctl -w net.ipv4.ping_group_range='%1 %1'\""
                    "（或包含 %1 的范围；写入 /etc/sysctl.d/ 以长期保留）")
                    .arg(gid);
    }
    return text + QStringLiteral("，然后重新启动程序。");
}

void IcmpEcho::close() {
    if (fd_ < 0)
        return;
    notifier_->setEnabled(false);
    if (dispatching_) {
        notifier_.release()->deleteLater();  // we are inside its signal
    } else {
        notifier_.reset();
    }
    ::close(fd_);
    fd_ = -1;
    openKind_ = SocketKind::Auto;
    ++epoch_;
    deadlines_.clear();
    timeoutTimer_.stop();
    for (int slot = 0; slot < int(probes_.size()); ++slot) {
        Probe& probe = probes_[slot];
        if (!probe.active)
            continue;
        const quint32 address = probe.address;
        Done done = std::move(probe.done);
        release(slot);
        failLater(address, EchoStatus::TimedOut, std::move(done));
    }
}

void IcmpEcho::send(const EchoRequest& request, Done done) {
    const quint32 address = request.address;
    const int payloadSize = request.payloadSize;
    const int timeoutMs = request.timeoutMs;
    if (fd_ < 0 || payloadSize < 0 || payloadSize > MaxProbeSize) {
        failLater(address, EchoStatus::GeneralFailure, std::move(done));
        return;
    }
    const int slot = allocateProbe(address, std::max(timeoutMs, 0), done);
    if (slot < 0) {
        failLater(address, EchoStatus::NoResources, std::move(done));
        return;
    }
    int error = 0;
    if (!transmit(probes_[slot], payloadSize, request.ttl, &error)) {
        Done owned = std::move(probes_[slot].done);
        release(slot);
        failLater(address, sendErrorStatus(error), std::move(owned));
        return;
    }
    const Probe& probe = probes_[slot];
    deadlines_.push_back(
        {monotonicNs() + qint64(probe.timeoutMs) * 1'000'000, slot, probe.generation});
    std::push_heap(deadlines_.begin(), deadlines_.end());
    armTimer();
}

// Takes a free sequence number and a slot for a new probe; -1 when 65536 are in flight.
int IcmpEcho::allocateProbe(quint32 address, int timeoutMs, Done& done) {
    int tries = 0;
    while (slotBySequence_[nextSequence_] >= 0) {
        if (++tries > 65535)
            return -1;
        ++nextSequence_;
    }
    const quint16 sequence = nextSequence_++;
    int slot;
    if (!freeSlots_.empty()) {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        slot = int(probes_.size());
        probes_.emplace_back();
    }
    Probe& probe = probes_[slot];
    probe.done = std::move(done);
    probe.address = address;
    probe.timeoutMs = timeoutMs;
    probe.sequence = sequence;
    probe.active = true;
    ++probe.generation;
    slotBySequence_[sequence] = slot;
    return slot;
}

void IcmpEcho::release(int slot) {
    Probe& probe = probes_[slot];
    probe.active = false;
    probe.done = nullptr;
    slotBySequence_[probe.sequence] = -1;
    freeSlots_.push_back(slot);
}

bool IcmpEcho::transmit(Probe& probe, int payloadSize, int ttl, int* error) {
    // The payload bytes after the header are 0x20 from construction on and never change.
    const std::span<quint8> packet(packet_.data(), size_t(HeaderSize + payloadSize));
    // The kernel puts its own identifier and checksum on a datagram socket.
    net::WriteEchoRequest(packet, ident_, probe.sequence, openKind_ == SocketKind::Raw);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(probe.address);
    iovec data{packet.data(), packet.size()};
    msghdr msg{};
    msg.msg_name = &to;
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &data;
    msg.msg_iovlen = 1;
    // A TTL of this probe only, so probes of different TTLs can share the socket.
    net::TtlControl control;
    net::AttachTtl(msg, control, ttl);
    // A second try: an ICMP error of an earlier probe may still be pending on the socket and
    // is reported by the next send, although nothing is wrong with this one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        clock_gettime(CLOCK_REALTIME, &probe.sentAt);
        if (::sendmsg(fd_, &msg, 0) >= 0)
            return true;
        *error = errno;
    }
    return false;
}

void IcmpEcho::failLater(quint32 address, qint32 status, Done done) {
    EchoReply reply;
    reply.address = address;
    reply.status = status;
    deferred_.emplace_back(std::move(done), reply);
    if (!deferTimer_.isActive())
        deferTimer_.start(0);
}

void IcmpEcho::deliverDeferred() {
    std::vector<std::pair<Done, EchoReply>> due;
    due.swap(deferred_);
    for (auto& [done, reply] : due)
        done(reply);
}

void IcmpEcho::complete(int slot, const EchoReply& reply) {
    Done done = std::move(probes_[slot].done);
    release(slot);
    done(reply);
}

int IcmpEcho::findProbe(quint16 sequence, quint32 address) const {
    const int slot = slotBySequence_[sequence];
    if (slot < 0 || probes_[slot].address != address)
        return -1;
    return slot;
}

// Finishes the probe in `slot` with what arrived at `at`. An answer that came after the
// time-out counts as no answer, however late the event loop noticed it.
void IcmpEcho::answer(int slot, EchoReply reply, const timespec& at) {
    const Probe& probe = probes_[slot];
    const qint64 ns = std::max<qint64>(elapsedNs(probe.sentAt, at), 0);
    if (ns > qint64(probe.timeoutMs) * 1'000'000) {
        reply = EchoReply{};
        reply.address = probe.address;
        reply.status = EchoStatus::TimedOut;
    } else {
        reply.roundTripTime = quint32(ns / 1'000'000);
    }
    complete(slot, reply);
}

void IcmpEcho::readPending() {
    if (fd_ < 0)
        return;
    const quint64 epoch = epoch_;
    const bool outer = !dispatching_;
    dispatching_ = true;
    for (int i = 0; i < ReadsPerWakeUp && epoch == epoch_; ++i) {
        if (!readOne())
            break;
    }
    if (openKind_ == SocketKind::Datagram) {
        for (int i = 0; i < ReadsPerWakeUp && epoch == epoch_; ++i) {
            if (!readErrorQueue())
                break;
        }
    }
    if (outer)
        dispatching_ = false;
}

// Reads one packet; false when nothing is waiting.
bool IcmpEcho::readOne() {
    sockaddr_in from{};
    iovec iov{receive_.data(), receive_.size()};
    alignas(cmsghdr) char control[256];
    msghdr msg = receiveHeader(from, iov, control, sizeof control);
    const ssize_t n = ::recvmsg(fd_, &msg, MSG_DONTWAIT);
    if (n < 0)
        return errno != EAGAIN && errno != EWOULDBLOCK;  // a pending error was reported
    Received in{receive_.data(), int(n), ntohl(from.sin_addr.s_addr), -1, {}};
    bool stamped = false;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
            memcpy(&in.at, CMSG_DATA(c), sizeof in.at);
            stamped = true;
        } else if (c->cmsg_level == SOL_IP && c->cmsg_type == IP_TTL) {
            memcpy(&in.ttl, CMSG_DATA(c), sizeof in.ttl);
        }
    }
    if (!stamped)
        clock_gettime(CLOCK_REALTIME, &in.at);
    if (openKind_ == SocketKind::Raw) {
        handleRaw(in);
    } else {
        handleDatagram(in);
    }
    return true;
}

// A datagram socket hands over the ICMP message only; the kernel already matched the
// identifier.
void IcmpEcho::handleDatagram(const Received& in) {
    const net::IcmpMatch match = net::ParseDatagramReply(
        std::span<const quint8>(in.data, size_t(in.length)), in.source, in.ttl);
    if (match.kind != net::IcmpKind::EchoReply)
        return;
    const int slot = findProbe(match.sequence, match.source);
    if (slot < 0)
        return;
    EchoReply reply;
    reply.address = match.source;
    reply.dataSize = quint16(match.dataSize);
    reply.ttl = quint8(match.ttl);
    answer(slot, reply, in.at);
}

// A raw socket sees every ICMP packet of the machine, with its IP header: echo replies and
// the ICMP errors that quote one of our requests count, when they carry our identifier.
void IcmpEcho::handleRaw(const Received& in) {
    const net::IcmpMatch match =
        net::ParseRawPacket(std::span<const quint8>(in.data, size_t(in.length)));
    if (match.kind == net::IcmpKind::Other || match.identifier != ident_)
        return;
    EchoReply reply;
    reply.ttl = quint8(match.ttl);
    int slot;
    if (match.kind == net::IcmpKind::EchoReply) {
        slot = findProbe(match.sequence, match.source);
        reply.address = match.source;
        reply.dataSize = quint16(match.dataSize);
    } else {
        slot = findProbe(match.sequence, match.destination);
        reply.address = match.offender;
        reply.status = match.status();
    }
    if (slot < 0)
        return;
    answer(slot, reply, in.at);
}

// A datagram socket gets ICMP errors through its error queue: the kernel returns the
// quoted request (from our echo header on), the original destination and the sender.
bool IcmpEcho::readErrorQueue() {
    sockaddr_in target{};
    iovec iov{receive_.data(), receive_.size()};
    alignas(cmsghdr) char control[512];
    msghdr msg = receiveHeader(target, iov, control, sizeof control);
    const ssize_t n = ::recvmsg(fd_, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (n < 0)
        return false;
    std::span<const quint8> error;
    timespec at{};
    bool stamped = false;
    int ttl = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == SOL_IP && c->cmsg_type == IP_RECVERR) {
            error = std::span<const quint8>(reinterpret_cast<const quint8*>(CMSG_DATA(c)),
                                            c->cmsg_len - CMSG_LEN(0));
        } else if (c->cmsg_level == SOL_IP && c->cmsg_type == IP_TTL) {
            memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
        } else if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
            memcpy(&at, CMSG_DATA(c), sizeof at);
            stamped = true;
        }
    }
    const net::IcmpMatch match =
        net::ParseErrorQueueEntry(error, std::span<const quint8>(receive_.data(), size_t(n)),
                                  ntohl(target.sin_addr.s_addr), ttl);
    if (match.kind != net::IcmpKind::Error)
        return true;
    const int slot = findProbe(match.sequence, match.destination);
    if (slot < 0)
        return true;
    if (!stamped)
        clock_gettime(CLOCK_REALTIME, &at);
    EchoReply reply;
    reply.address = match.offender != 0 ? match.offender : probes_[slot].address;
    reply.status = match.status();
    reply.ttl = quint8(match.ttl);
    answer(slot, reply, at);
    return true;
}

// Keeps the timer armed for the earliest live deadline. Deadlines of answered probes are
// dropped from the top of the heap here; deeper ones wait until they surface.
void IcmpEcho::armTimer() {
    while (!deadlines_.empty()) {
        const Deadline& top = deadlines_.front();
        const Probe& probe = probes_[top.slot];
        if (probe.active && probe.generation == top.generation)
            break;
        std::pop_heap(deadlines_.begin(), deadlines_.end());
        deadlines_.pop_back();
    }
    if (deadlines_.empty())
        return;  // an armed timer then finds nothing to do
    const qint64 at = deadlines_.front().at;
    if (timeoutTimer_.isActive() && timerAt_ <= at)
        return;
    const qint64 left = at - monotonicNs();
    timerAt_ = at;
    timeoutTimer_.start(left <= 0 ? 0 : int((left + 999'999) / 1'000'000));
}

void IcmpEcho::expire() {
    readPending();  // an answer that is already waiting is not a time-out
    const quint64 epoch = epoch_;
    const qint64 now = monotonicNs();
    while (!deadlines_.empty() && deadlines_.front().at <= now) {
        const Deadline due = deadlines_.front();
        std::pop_heap(deadlines_.begin(), deadlines_.end());
        deadlines_.pop_back();
        const Probe& probe = probes_[due.slot];
        if (!probe.active || probe.generation != due.generation)
            continue;
        EchoReply reply;
        reply.address = probe.address;
        reply.status = EchoStatus::TimedOut;
        complete(due.slot, reply);
        if (epoch != epoch_)
            return;  // closed (or reopened) by the callback
    }
    armTimer();
}

}  // namespace sondrel
