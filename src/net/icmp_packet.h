#pragma once

// ICMP echo packets for IPv4: building requests and reading what comes back on raw sockets,
// datagram ("ping") sockets and their error queues. Plain C++ and POSIX, no Qt, so that the
// small command-line programs can link it alone.

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sondrel::net {

constexpr int IcmpHeaderSize = 8;  // type, code, checksum, identifier, sequence
constexpr int Ipv4MinHeaderSize = 20;

namespace IcmpType {
constexpr std::uint8_t EchoReply = 0;
constexpr std::uint8_t Unreachable = 3;
constexpr std::uint8_t SourceQuench = 4;
constexpr std::uint8_t EchoRequest = 8;
constexpr std::uint8_t TimeExceeded = 11;
constexpr std::uint8_t ParameterProblem = 12;
}  // namespace IcmpType

// The status codes an ICMP error maps to; the echo layer stores the same numbers.
namespace IcmpStatus {
constexpr int NetUnreachable = 11002;
constexpr int HostUnreachable = 11003;
constexpr int ProtocolUnreachable = 11004;
constexpr int PortUnreachable = 11005;
constexpr int PacketTooBig = 11009;
constexpr int TtlExpiredTransit = 11013;
constexpr int TtlExpiredReassembly = 11014;
constexpr int ParameterProblem = 11015;
constexpr int SourceQuench = 11016;
constexpr int GeneralFailure = 11050;
}  // namespace IcmpStatus

// Maps an ICMP error (type, code) to its status code; GeneralFailure for anything else.
int IcmpErrorStatus(int type, int code);

// The Internet checksum (one's complement sum of 16-bit big-endian words) of `data`.
std::uint16_t InternetChecksum(std::span<const std::uint8_t> data);

// Writes an echo request header at the front of `packet`, whose bytes after the header are
// the payload and stay as they are. Without `withChecksum` the checksum field is zero, which
// a datagram socket expects (the kernel fills it in, and puts its own identifier too).
// `packet` must hold at least IcmpHeaderSize bytes.
void WriteEchoRequest(std::span<std::uint8_t> packet, std::uint16_t identifier,
                      std::uint16_t sequence, bool withChecksum = true);

// A complete echo request with the given payload, checksum included.
std::vector<std::uint8_t> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                                           std::span<const std::uint8_t> payload);
// A complete echo request with `payloadSize` bytes of `fill`, checksum included.
std::vector<std::uint8_t> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                                           std::size_t payloadSize, std::uint8_t fill = 0x20);

// Sets IP_TTL on a socket for every following send. A `ttl` of 0 leaves the socket alone.
// False when the system refuses the value.
bool SetSocketTtl(int fd, int ttl);

// Room for the ancillary data AttachTtl writes.
struct TtlControl {
    alignas(cmsghdr) unsigned char data[CMSG_SPACE(sizeof(int))];
};

// Makes one sendmsg carry its own TTL (an IP_TTL control message) without touching the
// socket's default. A `ttl` of 0 attaches nothing. `control` must outlive the sendmsg.
void AttachTtl(msghdr& message, TtlControl& control, int ttl);

enum class IcmpKind {
    Other,      // not for an echo client: our own requests, other ICMP, truncated packets
    EchoReply,  // an answer to an echo request
    Error,      // an ICMP error quoting one of the echo requests
};

// What one received packet says about an echo request. Addresses are in host byte order.
struct IcmpMatch {
    IcmpKind kind = IcmpKind::Other;
    std::uint8_t type = 0;
    std::uint8_t code = 0;
    // Of the reply, or for an error of the quoted request. On a datagram socket the kernel
    // replaces the identifier with the socket's own.
    std::uint16_t identifier = 0;
    std::uint16_t sequence = 0;
    std::uint32_t source = 0;       // sender of the packet (for an error, its offender)
    std::uint32_t offender = 0;     // errors: the router or host that reported; 0 if unknown
    std::uint32_t destination = 0;  // errors: where the quoted request was going
    int ttl = 0;                    // TTL the packet arrived with; 0 when unknown
    std::size_t dataSize = 0;       // echo replies: payload bytes after the ICMP header

    // The status code of an error, 0 for an echo reply.
    int status() const { return kind == IcmpKind::Error ? IcmpErrorStatus(type, code) : 0; }
};

// A packet from a raw ICMP socket: the IP header followed by the ICMP message.
IcmpMatch ParseRawPacket(std::span<const std::uint8_t> packet);

// A message from a datagram ICMP socket: the ICMP message only. The sender and the TTL come
// from recvmsg (its address and the IP_TTL control message; pass a negative TTL if absent).
IcmpMatch ParseDatagramReply(std::span<const std::uint8_t> message, std::uint32_t source, int ttl);

// An entry of a datagram socket's error queue: `extendedError` is the data of the IP_RECVERR
// control message (a sock_extended_err, followed by the offender's address), `quoted` the
// returned bytes (the quoted request from its ICMP header on) and `destination` the address
// recvmsg reported. Only errors that came as ICMP messages match; local ones are Other.
IcmpMatch ParseErrorQueueEntry(std::span<const std::uint8_t> extendedError,
                               std::span<const std::uint8_t> quoted, std::uint32_t destination,
                               int ttl);

}  // namespace sondrel::net
