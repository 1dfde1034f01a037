#include "net/icmp_packet.h"

#include <linux/errqueue.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace sondrel::net {

namespace {

std::uint16_t be16(const std::uint8_t* p) {
    return std::uint16_t(p[0] << 8 | p[1]);
}

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void putBe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v >> 8);
    p[1] = std::uint8_t(v);
}

bool isEchoError(std::uint8_t type) {
    return type == IcmpType::Unreachable || type == IcmpType::TimeExceeded ||
           type == IcmpType::SourceQuench || type == IcmpType::ParameterProblem;
}

// Length of the IPv4 header at the front of `packet`, or 0 when it is not a whole one.
std::size_t ipHeaderLength(std::span<const std::uint8_t> packet) {
    if (packet.size() < std::size_t(Ipv4MinHeaderSize))
        return 0;
    const std::size_t length = std::size_t(packet[0] & 0x0f) * 4;
    if (length < std::size_t(Ipv4MinHeaderSize) || length > packet.size())
        return 0;
    return length;
}

// An ICMP error: after its header, the IP header and the first 8 bytes of the packet that
// caused it. Matches only when that packet was an ICMP echo request.
IcmpMatch parseRawError(std::span<const std::uint8_t> icmp, std::uint32_t source, int ttl) {
    IcmpMatch match;
    match.type = icmp[0];
    match.code = icmp[1];
    match.source = source;
    match.ttl = ttl;
    const auto inner = icmp.subspan(IcmpHeaderSize);
    const std::size_t innerHeader = ipHeaderLength(inner);
    if (innerHeader == 0 || inner.size() < innerHeader + IcmpHeaderSize)
        return match;
    if (inner[9] != IPPROTO_ICMP)
        return match;
    const std::uint8_t* request = inner.data() + innerHeader;
    if (request[0] != IcmpType::EchoRequest)
        return match;
    match.kind = IcmpKind::Error;
    match.identifier = be16(request + 4);
    match.sequence = be16(request + 6);
    match.destination = be32(inner.data() + 16);
    match.offender = source;
    return match;
}

}  // namespace

int IcmpErrorStatus(int type, int code) {
    switch (type) {
        case IcmpType::Unreachable:
            switch (code) {
                case 0:
                    return IcmpStatus::NetUnreachable;
                case 2:
                    return IcmpStatus::ProtocolUnreachable;
                case 3:
                    return IcmpStatus::PortUnreachable;
                case 4:
                    return IcmpStatus::PacketTooBig;
                default:  // host unreachable and the administrative and unknown codes
                    return IcmpStatus::HostUnreachable;
            }
        case IcmpType::TimeExceeded:
            return code == 1 ? IcmpStatus::TtlExpiredReassembly : IcmpStatus::TtlExpiredTransit;
        case IcmpType::ParameterProblem:
            return IcmpStatus::ParameterProblem;
        case IcmpType::SourceQuench:
            return IcmpStatus::SourceQuench;
        default:
            return IcmpStatus::GeneralFailure;
    }
}

std::uint16_t InternetChecksum(std::span<const std::uint8_t> data) {
    std::uint64_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < data.size(); i += 2)
        sum += be16(data.data() + i);
    if (i < data.size())
        sum += std::uint32_t(data[i]) << 8;
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return std::uint16_t(~sum);
}

void WriteEchoRequest(std::span<std::uint8_t> packet, std::uint16_t identifier,
                      std::uint16_t sequence, bool withChecksum) {
    std::uint8_t* header = packet.data();
    header[0] = IcmpType::EchoRequest;
    header[1] = 0;
    putBe16(header + 2, 0);
    putBe16(header + 4, identifier);
    putBe16(header + 6, sequence);
    if (withChecksum)
        putBe16(header + 2, InternetChecksum(packet));
}

std::vector<std::uint8_t> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                                           std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> packet(IcmpHeaderSize + payload.size());
    std::copy(payload.begin(), payload.end(), packet.begin() + IcmpHeaderSize);
    WriteEchoRequest(packet, identifier, sequence);
    return packet;
}

std::vector<std::uint8_t> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                                           std::size_t payloadSize, std::uint8_t fill) {
    std::vector<std::uint8_t> packet(IcmpHeaderSize + payloadSize, fill);
    WriteEchoRequest(packet, identifier, sequence);
    return packet;
}

bool SetSocketTtl(int fd, int ttl) {
    if (ttl == 0)
        return true;
    return ::setsockopt(fd, SOL_IP, IP_TTL, &ttl, sizeof ttl) == 0;
}

void AttachTtl(msghdr& message, TtlControl& control, int ttl) {
    if (ttl == 0)
        return;
    message.msg_control = control.data;
    message.msg_controllen = sizeof control.data;
    cmsghdr* c = CMSG_FIRSTHDR(&message);
    c->cmsg_level = SOL_IP;
    c->cmsg_type = IP_TTL;
    c->cmsg_len = CMSG_LEN(sizeof ttl);
    std::memcpy(CMSG_DATA(c), &ttl, sizeof ttl);
}

IcmpMatch ParseRawPacket(std::span<const std::uint8_t> packet) {
    const std::size_t headerLength = ipHeaderLength(packet);
    if (headerLength == 0 || packet.size() < headerLength + IcmpHeaderSize)
        return {};
    const auto icmp = packet.subspan(headerLength);
    const std::uint32_t source = be32(packet.data() + 12);
    const int ttl = packet[8];
    if (isEchoError(icmp[0]))
        return parseRawError(icmp, source, ttl);
    IcmpMatch match;
    match.type = icmp[0];
    match.code = icmp[1];
    match.source = source;
    match.ttl = ttl;
    if (icmp[0] != IcmpType::EchoReply)
        return match;  // our own requests and the rest of the machine's ICMP traffic
    match.kind = IcmpKind::EchoReply;
    match.identifier = be16(icmp.data() + 4);
    match.sequence = be16(icmp.data() + 6);
    match.dataSize = icmp.size() - IcmpHeaderSize;
    return match;
}

IcmpMatch ParseDatagramReply(std::span<const std::uint8_t> message, std::uint32_t source, int ttl) {
    IcmpMatch match;
    match.source = source;
    match.ttl = std::max(ttl, 0);
    if (message.size() < std::size_t(IcmpHeaderSize))
        return match;
    match.type = message[0];
    match.code = message[1];
    if (message[0] != IcmpType::EchoReply)
        return match;
    match.kind = IcmpKind::EchoReply;
    match.identifier = be16(message.data() + 4);
    match.sequence = be16(message.data() + 6);
    match.dataSize = message.size() - IcmpHeaderSize;
    return match;
}

IcmpMatch ParseErrorQueueEntry(std::span<const std::uint8_t> extendedError,
                               std::span<const std::uint8_t> quoted, std::uint32_t destination,
                               int ttl) {
    IcmpMatch match;
    match.destination = destination;
    match.ttl = std::max(ttl, 0);
    sock_extended_err error;
    if (extendedError.size() < sizeof error)
        return match;
    std::memcpy(&error, extendedError.data(), sizeof error);
    // Local errors (no route, message too long...) were already reported by sendto.
    if (error.ee_origin != SO_EE_ORIGIN_ICMP || quoted.size() < std::size_t(IcmpHeaderSize))
        return match;
    match.kind = IcmpKind::Error;
    match.type = error.ee_type;
    match.code = error.ee_code;
    match.identifier = be16(quoted.data() + 4);
    match.sequence = be16(quoted.data() + 6);
    // The kernel puts the sender's address right after the error record.
    sockaddr_in offender{};
    if (extendedError.size() >= sizeof error + sizeof offender) {
        std::memcpy(&offender, extendedError.data() + sizeof error, sizeof offender);
        if (offender.sin_family == AF_INET)
            match.offender = ntohl(offender.sin_addr.s_addr);
    }
    match.source = match.offender;
    return match;
}

}  // namespace sondrel::net
