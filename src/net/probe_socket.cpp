#include "net/probe_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sondrel::net {

namespace {

constexpr int PayloadSize = 32;
constexpr int IcmpFilterOption = 1;  // ICMP_FILTER of <linux/icmp.h>, which clashes with netinet
constexpr int MaxReadsPerCall = 4096;

void setOption(int fd, int level, int name, int value) {
    ::setsockopt(fd, level, name, &value, sizeof value);
}

timespec now() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

}  // namespace

std::vector<std::uint8_t> LooseSourceRouteOption(std::span<const std::uint32_t> hosts) {
    constexpr std::uint8_t NoOperation = 1;
    constexpr std::uint8_t LooseSourceRoute = 131;
    std::vector<std::uint8_t> option{NoOperation, LooseSourceRoute,
                                     std::uint8_t(3 + 4 * hosts.size()), 4};
    for (const std::uint32_t host : hosts) {
        for (int shift = 24; shift >= 0; shift -= 8)
            option.push_back(std::uint8_t(host >> shift));
    }
    return option;
}

ProbeSocket::~ProbeSocket() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool ProbeSocket::open(bool rawOnly, std::uint8_t fill) {
    if (fd_ >= 0)
        return true;
    if (!rawOnly)
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd_ >= 0) {
        kind_ = Kind::Datagram;
        setOption(fd_, SOL_IP, IP_RECVERR, 1);
        setOption(fd_, SOL_IP, IP_RECVTTL, 1);
    } else {
        datagramError_ = rawOnly ? EPERM : errno;
        fd_ = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd_ < 0) {
            rawError_ = errno;
            return false;
        }
        kind_ = Kind::Raw;
        // Only echo replies and the errors that can quote a request reach us.
        namespace IcmpType = net::IcmpType;
        const std::uint32_t wanted = 1u << IcmpType::EchoReply | 1u << IcmpType::Unreachable |
                                     1u << IcmpType::SourceQuench | 1u << IcmpType::TimeExceeded |
                                     1u << IcmpType::ParameterProblem;
        const std::uint32_t filter = ~wanted;
        ::setsockopt(fd_, SOL_RAW, IcmpFilterOption, &filter, sizeof filter);
        identifier_ = std::uint16_t(::getpid());
    }
    setOption(fd_, SOL_SOCKET, SO_TIMESTAMPNS, 1);
    setOption(fd_, SOL_IP, IP_MTU_DISCOVER, IP_PMTUDISC_DONT);
    setOption(fd_, SOL_SOCKET, SO_RCVBUF, 1 << 18);
    packet_.assign(std::size_t(net::IcmpHeaderSize + PayloadSize), fill);
    buffer_.resize(4096);
    return true;
}

bool ProbeSocket::setOptions(std::span<const std::uint8_t> options) {
    return ::setsockopt(fd_, SOL_IP, IP_OPTIONS, options.data(), socklen_t(options.size())) == 0;
}

int ProbeSocket::send(std::uint32_t destination, int ttl, std::uint16_t sequence,
                      timespec& sentAt) {
    // The datagram socket fills in its own identifier and the checksum.
    net::WriteEchoRequest(packet_, identifier_, sequence, kind_ == Kind::Raw);
    if (!net::SetSocketTtl(fd_, ttl))
        return errno;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(destination);
    // An ICMP error for an earlier request leaves its errno pending on the datagram socket,
    // and the next send would fail with it: take it off first, and once more if one came in
    // between. A second failure is the send's own.
    for (int attempt = 0;; ++attempt) {
        takePendingError();
        sentAt = now();
        if (::sendto(fd_, packet_.data(), packet_.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                     sizeof to) >= 0)
            return 0;
        if (attempt == 1 || kind_ != Kind::Datagram)
            return errno;
    }
}

void ProbeSocket::takePendingError() {
    int pending = 0;
    socklen_t length = sizeof pending;
    ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &pending, &length);
}

std::optional<ProbeSocket::Received> ProbeSocket::readOne(bool errorQueue, bool& more) {
    sockaddr_in from{};
    iovec data{buffer_.data(), buffer_.size()};
    alignas(cmsghdr) unsigned char control[512];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = ::recvmsg(fd_, &message, MSG_DONTWAIT | (errorQueue ? MSG_ERRQUEUE : 0));
    if (length < 0) {
        // A pending socket error (from an ICMP error) is returned once by a plain read.
        more = errno != EAGAIN && errno != EWOULDBLOCK;
        return std::nullopt;
    }
    more = true;
    Received received{};
    bool stamped = false;
    int ttl = -1;
    std::span<const std::uint8_t> extendedError;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS &&
            c->cmsg_len >= CMSG_LEN(sizeof(timespec))) {
            std::memcpy(&received.at, CMSG_DATA(c), sizeof(timespec));
            stamped = true;
        } else if (c->cmsg_level == SOL_IP && c->cmsg_type == IP_TTL &&
                   c->cmsg_len >= CMSG_LEN(sizeof(int))) {
            std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
        } else if (c->cmsg_level == SOL_IP && c->cmsg_type == IP_RECVERR) {
            extendedError = {CMSG_DATA(c), std::size_t(c->cmsg_len - CMSG_LEN(0))};
        }
    }
    if (!stamped)
        received.at = now();
    const std::span<const std::uint8_t> bytes(buffer_.data(), std::size_t(length));
    const std::uint32_t source = ntohl(from.sin_addr.s_addr);
    if (kind_ == Kind::Raw) {
        received.match = net::ParseRawPacket(bytes);
        if (received.match.kind == net::IcmpKind::Other || received.match.identifier != identifier_)
            return std::nullopt;
    } else if (errorQueue) {
        received.match = net::ParseErrorQueueEntry(extendedError, bytes, source, ttl);
        if (received.match.kind != net::IcmpKind::Error)
            return std::nullopt;
    } else {
        received.match = net::ParseDatagramReply(bytes, source, ttl);
        if (received.match.kind != net::IcmpKind::EchoReply)
            return std::nullopt;
    }
    return received;
}

std::optional<ProbeSocket::Received> ProbeSocket::receive() {
    for (int reads = 0; reads < MaxReadsPerCall; ++reads) {
        bool more = false;
        if (kind_ == Kind::Datagram) {
            if (auto error = readOne(true, more))
                return error;
            if (more)
                continue;
        }
        if (auto reply = readOne(false, more))
            return reply;
        if (!more)
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace sondrel::net
