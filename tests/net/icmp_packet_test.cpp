// ICMP packet building and parsing on hand-made byte buffers; nothing is sent.
#include "net/icmp_packet.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/errqueue.h>
#include <netinet/in.h>

#include <cstring>
#include <vector>

namespace sondrel::net {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t Us = 0x7f000001;
constexpr std::uint32_t Target = 0x7f000002;
constexpr std::uint32_t Router = 0x7f0000fe;

void append16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v >> 8));
    b.push_back(std::uint8_t(v));
}

void append32(Bytes& b, std::uint32_t v) {
    append16(b, std::uint16_t(v >> 16));
    append16(b, std::uint16_t(v));
}

// An IPv4 header of `words` 32-bit words (5 without options) for an ICMP packet.
Bytes ipHeader(std::uint32_t source, std::uint32_t destination, std::uint8_t ttl,
               std::uint8_t protocol = IPPROTO_ICMP, int words = 5) {
    Bytes b{std::uint8_t(0x40 | words), 0};
    append16(b, 0);  // total length: not read
    append32(b, 0);  // identification, flags, fragment offset
    b.push_back(ttl);
    b.push_back(protocol);
    append16(b, 0);  // header checksum: not read
    append32(b, source);
    append32(b, destination);
    b.resize(std::size_t(words) * 4, 0x01);  // options
    return b;
}

Bytes icmpHeader(std::uint8_t type, std::uint8_t code, std::uint16_t identifier,
                 std::uint16_t sequence) {
    Bytes b{type, code, 0xab, 0xcd};  // the checksum is not checked on receipt
    append16(b, identifier);
    append16(b, sequence);
    return b;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// What a router sends back when our request to Target runs out of TTL.
Bytes rawTimeExceeded(std::uint16_t identifier, std::uint16_t sequence, int innerWords = 5) {
    return concat({ipHeader(Router, Us, 250), icmpHeader(11, 0, 0, 0),
                   ipHeader(Us, Target, 1, IPPROTO_ICMP, innerWords),
                   icmpHeader(8, 0, identifier, sequence)});
}

// The IP_RECVERR control data: the error record followed by the offender's address.
Bytes extendedError(std::uint8_t origin, std::uint8_t type, std::uint8_t code,
                    bool withOffender = true) {
    sock_extended_err error{};
    error.ee_errno = EHOSTUNREACH;
    error.ee_origin = origin;
    error.ee_type = type;
    error.ee_code = code;
    sockaddr_in offender{};
    offender.sin_family = AF_INET;
    offender.sin_addr.s_addr = htonl(Router);
    Bytes b(sizeof error + (withOffender ? sizeof offender : 0));
    std::memcpy(b.data(), &error, sizeof error);
    if (withOffender)
        std::memcpy(b.data() + sizeof error, &offender, sizeof offender);
    return b;
}

// --- building requests -------------------------------------------------------------------

TEST(IcmpEchoRequest, ChecksumMatchesTheKnownSumAndVerifiesOnEveryPayload) {
    // The worked example of the Internet checksum: words 0001 f203 f4f5 f6f7.
    const Bytes example{0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
    EXPECT_EQ(InternetChecksum(example), 0x220d);

    for (std::size_t size : {0u, 1u, 32u, 33u, 1472u, 32000u}) {
        const Bytes packet = BuildEchoRequest(0xbeef, 0x0102, size);
        ASSERT_EQ(packet.size(), IcmpHeaderSize + size);
        EXPECT_EQ(InternetChecksum(packet), 0) << "payload " << size;  // sums to all ones
        EXPECT_EQ(packet[0], 8);
        EXPECT_EQ(packet[1], 0);
        EXPECT_EQ(packet[4], 0xbe);
        EXPECT_EQ(packet[5], 0xef);
        EXPECT_EQ(packet[6], 0x01);
        EXPECT_EQ(packet[7], 0x02);
        for (std::size_t i = IcmpHeaderSize; i < packet.size(); ++i)
            ASSERT_EQ(packet[i], 0x20);
    }
    // Odd lengths and high bytes exercise the last half word and the carries.
    const Bytes payload{0xff, 0xff, 0xff, 0x80, 0x7f};
    const Bytes given = BuildEchoRequest(0xffff, 0xffff, payload);
    EXPECT_EQ(InternetChecksum(given), 0);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), given.begin() + IcmpHeaderSize));
}

TEST(IcmpEchoRequest, DatagramHeaderLeavesChecksumZeroAndPayloadUntouched) {
    Bytes packet(IcmpHeaderSize + 3, 0x55);
    WriteEchoRequest(packet, 7, 9, false);
    EXPECT_EQ(packet, (Bytes{8, 0, 0, 0, 0, 7, 0, 9, 0x55, 0x55, 0x55}));
    WriteEchoRequest(packet, 7, 9, true);
    EXPECT_NE(packet[2] | packet[3], 0);
    EXPECT_EQ(InternetChecksum(packet), 0);
}

TEST(IcmpEchoRequest, TtlControlMessageCarriesTheValueOnlyWhenAsked) {
    msghdr message{};
    TtlControl control;
    AttachTtl(message, control, 0);
    EXPECT_EQ(message.msg_control, nullptr);
    EXPECT_EQ(message.msg_controllen, 0u);

    AttachTtl(message, control, 7);
    const cmsghdr* c = CMSG_FIRSTHDR(&message);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->cmsg_level, SOL_IP);
    EXPECT_EQ(c->cmsg_type, IP_TTL);
    ASSERT_EQ(c->cmsg_len, CMSG_LEN(sizeof(int)));
    int ttl = 0;
    std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
    EXPECT_EQ(ttl, 7);
}

// --- the status of ICMP errors -----------------------------------------------------------

TEST(IcmpErrorStatusTable, EveryErrorTypeAndCodeMapsToItsStatus) {
    EXPECT_EQ(IcmpErrorStatus(3, 0), 11002);
    EXPECT_EQ(IcmpErrorStatus(3, 1), 11003);
    EXPECT_EQ(IcmpErrorStatus(3, 2), 11004);
    EXPECT_EQ(IcmpErrorStatus(3, 3), 11005);
    EXPECT_EQ(IcmpErrorStatus(3, 4), 11009);
    for (int code : {5, 6, 7, 9, 10, 13, 15, 200})
        EXPECT_EQ(IcmpErrorStatus(3, code), 11003) << "code " << code;
    EXPECT_EQ(IcmpErrorStatus(11, 0), 11013);
    EXPECT_EQ(IcmpErrorStatus(11, 1), 11014);
    EXPECT_EQ(IcmpErrorStatus(12, 0), 11015);
    EXPECT_EQ(IcmpErrorStatus(12, 2), 11015);
    EXPECT_EQ(IcmpErrorStatus(4, 0), 11016);
    EXPECT_EQ(IcmpErrorStatus(5, 0), 11050);  // a redirect is no error of the request
    EXPECT_EQ(IcmpErrorStatus(0, 0), 11050);
}

// --- raw sockets: IP header + ICMP -------------------------------------------------------

TEST(IcmpRawPacket, EchoReplyCarriesSenderTtlAndPayloadSize) {
    Bytes payload(32, 0x20);
    const IcmpMatch m =
        ParseRawPacket(concat({ipHeader(Target, Us, 63), icmpHeader(0, 0, 0x1234, 42), payload}));
    EXPECT_EQ(m.kind, IcmpKind::EchoReply);
    EXPECT_EQ(m.identifier, 0x1234);
    EXPECT_EQ(m.sequence, 42);
    EXPECT_EQ(m.source, Target);
    EXPECT_EQ(m.ttl, 63);
    EXPECT_EQ(m.dataSize, 32u);
    EXPECT_EQ(m.status(), 0);

    // IP options move the ICMP header; a foreign identifier is reported as it is, for the
    // caller to drop.
    const IcmpMatch withOptions = ParseRawPacket(
        concat({ipHeader(Target, Us, 64, IPPROTO_ICMP, 8), icmpHeader(0, 0, 0x4321, 7)}));
    EXPECT_EQ(withOptions.kind, IcmpKind::EchoReply);
    EXPECT_EQ(withOptions.identifier, 0x4321);
    EXPECT_EQ(withOptions.sequence, 7);
    EXPECT_EQ(withOptions.dataSize, 0u);
}

TEST(IcmpRawPacket, ErrorNamesTheQuotedRequestAndTheOffender) {
    for (int innerWords : {5, 7}) {
        const IcmpMatch m = ParseRawPacket(rawTimeExceeded(0x1234, 0x0203, innerWords));
        EXPECT_EQ(m.kind, IcmpKind::Error);
        EXPECT_EQ(m.type, 11);
        EXPECT_EQ(m.code, 0);
        EXPECT_EQ(m.identifier, 0x1234);
        EXPECT_EQ(m.sequence, 0x0203);
        EXPECT_EQ(m.destination, Target);
        EXPECT_EQ(m.offender, Router);
        EXPECT_EQ(m.source, Router);
        EXPECT_EQ(m.ttl, 250);
        EXPECT_EQ(m.status(), 11013);
    }
    // Port unreachable from the target itself, with more of the request quoted.
    const IcmpMatch port =
        ParseRawPacket(concat({ipHeader(Target, Us, 64), icmpHeader(3, 3, 0, 0),
                               ipHeader(Us, Target, 64), icmpHeader(8, 0, 1, 2), Bytes(32, 0x20)}));
    EXPECT_EQ(port.kind, IcmpKind::Error);
    EXPECT_EQ(port.status(), 11005);
    EXPECT_EQ(port.offender, Target);
}

TEST(IcmpRawPacket, OwnRequestsOtherIcmpAndErrorsOfOtherPacketsAreIgnored) {
    // A raw socket also sees the requests we send to ourselves.
    EXPECT_EQ(ParseRawPacket(concat({ipHeader(Us, Us, 64), icmpHeader(8, 0, 1, 2)})).kind,
              IcmpKind::Other);
    EXPECT_EQ(ParseRawPacket(concat({ipHeader(Us, Us, 64), icmpHeader(13, 0, 1, 2)})).kind,
              IcmpKind::Other);
    // Errors about a UDP datagram, and about an echo reply rather than a request.
    EXPECT_EQ(
        ParseRawPacket(concat({ipHeader(Router, Us, 64), icmpHeader(3, 3, 0, 0),
                               ipHeader(Us, Target, 64, IPPROTO_UDP), icmpHeader(8, 0, 1, 2)}))
            .kind,
        IcmpKind::Other);
    EXPECT_EQ(ParseRawPacket(concat({ipHeader(Router, Us, 64), icmpHeader(3, 3, 0, 0),
                                     ipHeader(Us, Target, 64), icmpHeader(0, 0, 1, 2)}))
                  .kind,
              IcmpKind::Other);
    // A redirect quoting our request is not an error of it.
    EXPECT_EQ(ParseRawPacket(concat({ipHeader(Router, Us, 64), icmpHeader(5, 1, 0, 0),
                                     ipHeader(Us, Target, 64), icmpHeader(8, 0, 1, 2)}))
                  .kind,
              IcmpKind::Other);
}

TEST(IcmpRawPacket, TruncatedOrMalformedPacketsAreOtherAtEveryLength) {
    // Exact-size copies, so that a read past the end shows up under a memory checker.
    const Bytes reply = concat({ipHeader(Target, Us, 64), icmpHeader(0, 0, 1, 2)});
    const Bytes error = rawTimeExceeded(1, 2, 6);
    for (std::size_t n = 0; n < error.size(); ++n) {
        const Bytes cut(error.begin(), error.begin() + n);
        EXPECT_EQ(ParseRawPacket(cut).kind, IcmpKind::Other) << "length " << n;
        if (n < reply.size()) {
            const Bytes shortReply(reply.begin(), reply.begin() + n);
            EXPECT_EQ(ParseRawPacket(shortReply).kind, IcmpKind::Other) << "length " << n;
        }
    }
    // Header lengths below the minimum or past the end of the packet.
    Bytes badLength = reply;
    badLength[0] = 0x44;
    EXPECT_EQ(ParseRawPacket(badLength).kind, IcmpKind::Other);
    badLength[0] = 0x4f;  // 60 bytes of header in a 28-byte packet
    EXPECT_EQ(ParseRawPacket(badLength).kind, IcmpKind::Other);
    Bytes badInner = rawTimeExceeded(1, 2);
    badInner[28] = 0x4f;  // the quoted header claims more than was quoted
    EXPECT_EQ(ParseRawPacket(badInner).kind, IcmpKind::Other);
}

// --- datagram sockets: ICMP only, and the error queue ------------------------------------

TEST(IcmpDatagramReply, EchoReplyUsesTheAddressAndTtlRecvmsgGave) {
    Bytes message = concat({icmpHeader(0, 0, 0x0999, 300), Bytes(5, 0x20)});
    const IcmpMatch m = ParseDatagramReply(message, Target, 61);
    EXPECT_EQ(m.kind, IcmpKind::EchoReply);
    EXPECT_EQ(m.identifier, 0x0999);
    EXPECT_EQ(m.sequence, 300);
    EXPECT_EQ(m.source, Target);
    EXPECT_EQ(m.ttl, 61);
    EXPECT_EQ(m.dataSize, 5u);
    EXPECT_EQ(ParseDatagramReply(message, Target, -1).ttl, 0);  // no IP_TTL message

    EXPECT_EQ(ParseDatagramReply(icmpHeader(3, 1, 0, 0), Target, 64).kind, IcmpKind::Other);
    message.resize(IcmpHeaderSize - 1);
    EXPECT_EQ(ParseDatagramReply(message, Target, 64).kind, IcmpKind::Other);
}

TEST(IcmpErrorQueue, IcmpErrorNamesQuotedRequestOffenderAndStatus) {
    const Bytes quoted = concat({icmpHeader(8, 0, 0x0777, 513), Bytes(32, 0x20)});
    const IcmpMatch m =
        ParseErrorQueueEntry(extendedError(SO_EE_ORIGIN_ICMP, 3, 1), quoted, Target, 250);
    EXPECT_EQ(m.kind, IcmpKind::Error);
    EXPECT_EQ(m.type, 3);
    EXPECT_EQ(m.code, 1);
    EXPECT_EQ(m.identifier, 0x0777);
    EXPECT_EQ(m.sequence, 513);
    EXPECT_EQ(m.destination, Target);
    EXPECT_EQ(m.offender, Router);
    EXPECT_EQ(m.ttl, 250);
    EXPECT_EQ(m.status(), 11003);

    const IcmpMatch ttl = ParseErrorQueueEntry(extendedError(SO_EE_ORIGIN_ICMP, 11, 1),
                                               icmpHeader(8, 0, 1, 2), Target, -1);
    EXPECT_EQ(ttl.status(), 11014);
    EXPECT_EQ(ttl.ttl, 0);
}

TEST(IcmpErrorQueue, LocalErrorsShortEntriesAndMissingOffenderAreHandled) {
    const Bytes quoted = icmpHeader(8, 0, 1, 2);
    EXPECT_EQ(ParseErrorQueueEntry(extendedError(SO_EE_ORIGIN_LOCAL, 0, 0), quoted, Target, 0).kind,
              IcmpKind::Other);
    const Bytes error = extendedError(SO_EE_ORIGIN_ICMP, 3, 0);
    EXPECT_EQ(ParseErrorQueueEntry(error, Bytes(quoted.begin(), quoted.end() - 1), Target, 0).kind,
              IcmpKind::Other);
    EXPECT_EQ(ParseErrorQueueEntry(Bytes(error.begin(), error.begin() + 4), quoted, Target, 0).kind,
              IcmpKind::Other);
    // Without the address after the record the error still counts, offender unknown.
    const IcmpMatch noOffender =
        ParseErrorQueueEntry(extendedError(SO_EE_ORIGIN_ICMP, 3, 0, false), quoted, Target, 0);
    EXPECT_EQ(noOffender.kind, IcmpKind::Error);
    EXPECT_EQ(noOffender.offender, 0u);
    EXPECT_EQ(noOffender.status(), 11002);
}

}  // namespace
}  // namespace sondrel::net
