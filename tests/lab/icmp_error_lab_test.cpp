// ICMP errors that the lab cannot provoke on its own (protocol and port unreachable,
// fragmentation needed, filtered, reassembly time-out, parameter problem, source quench):
// host A stops answering echo requests and instead sends back the error we choose, quoting
// the request as a router would. The errors reach the client through the real kernel paths
// (the error queue of a datagram socket, the packet copy of a raw socket).
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "engine/echo.h"
#include "engine/icmp_echo.h"
#include "lab/lab_fixture.h"

namespace sondrel::lab {
namespace {

using Kind = IcmpEcho::SocketKind;
using Node = LabNetwork::Node;

quint16 checksum(const quint8* data, int length) {
    quint32 sum = 0;
    for (int i = 0; i + 1 < length; i += 2)
        sum += quint32(data[i] << 8 | data[i + 1]);
    if (length & 1)
        sum += quint32(data[length - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return quint16(~sum);
}

// A raw ICMP socket in host A that answers the next echo request with an error.
class ErrorResponder {
  public:
    explicit ErrorResponder(LabNetwork& lab) : lab_(lab) {
        lab_.setSysctl(Node::HostA, QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                       QStringLiteral("1"));
        InsideLab inside(lab_, Node::HostA);
        fd_ = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    }
    ~ErrorResponder() {
        if (fd_ >= 0)
            ::close(fd_);
        lab_.setSysctl(Node::HostA, QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                       QStringLiteral("0"));
    }
    bool ready() const { return fd_ >= 0; }

    // Waits up to 2 s for an echo request; answers it with (type, code). False on time-out.
    bool answerNext(quint8 type, quint8 code) {
        quint8 in[65536];
        pollfd wait{fd_, POLLIN, 0};
        while (::poll(&wait, 1, 2000) > 0) {
            const ssize_t n = ::recv(fd_, in, sizeof in, 0);
            if (n < 28)
                continue;
            const int headerLength = (in[0] & 0x0f) * 4;
            if (n < headerLength + 8 || in[headerLength] != 8)
                continue;
            sendError(in, headerLength, type, code);
            return true;
        }
        return false;
    }

  private:
    void sendError(const quint8* request, int headerLength, quint8 type, quint8 code) {
        quint8 out[8 + 60 + 8] = {type, code};
        if (type == 3 && code == 4) {  // next-hop MTU 1400
            out[6] = 1400 >> 8;
            out[7] = 1400 & 0xff;
        }
        const int quoted = headerLength + 8;  // the IP header and 8 bytes of the request
        memcpy(out + 8, request, size_t(quoted));
        const quint16 sum = checksum(out, 8 + quoted);
        out[2] = quint8(sum >> 8);
        out[3] = quint8(sum);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        memcpy(&to.sin_addr, request + 12, 4);  // back to the request's sender
        ::sendto(fd_, out, size_t(8 + quoted), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    LabNetwork& lab_;
    int fd_ = -1;
};

struct ErrorCase {
    quint8 type;
    quint8 code;
    qint32 status;
    // The kernel keeps two errors from datagram sockets: "fragmentation needed" (we never set
    // DF) and "reassembly time exceeded" (dropped before any socket sees it).
    bool datagramToo;
};

const ErrorCase Cases[] = {
    {3, 2, EchoStatus::ProtocolUnreachable, true},
    {3, 3, EchoStatus::PortUnreachable, true},
    {3, 4, EchoStatus::PacketTooBig, false},
    {3, 13, EchoStatus::HostUnreachable, true},  // administratively filtered
    {11, 1, EchoStatus::TtlExpiredReassembly, false},
    {12, 0, EchoStatus::ParameterProblem, true},
    {4, 0, EchoStatus::SourceQuench, true},
};

class LabIcmpErrors : public LabFixture<::testing::TestWithParam<Kind>> {};

TEST_P(LabIcmpErrors, EachErrorArrivesWithItsStatusAndSender) {
    ErrorResponder responder(lab());
    ASSERT_TRUE(responder.ready());
    IcmpEcho echo(GetParam());
    {
        InsideLab inside(lab());
        ASSERT_EQ(echo.open(), QString());
    }
    const quint32 hostA = InetAddr(QString::fromLatin1(LabNetwork::HostAAddress)).value();
    for (const ErrorCase& c : Cases) {
        if (GetParam() == Kind::Datagram && !c.datagramToo)
            continue;
        SCOPED_TRACE(::testing::Message() << "type " << int(c.type) << " code " << int(c.code));
        std::optional<EchoReply> outcome;
        echo.send({hostA, 32, 2000}, [&](const EchoReply& reply) { outcome = reply; });
        ASSERT_TRUE(responder.answerNext(c.type, c.code));
        ASSERT_TRUE(spinUntil([&] { return outcome.has_value(); }));
        EXPECT_EQ(outcome->status, c.status);
        EXPECT_EQ(outcome->address, hostA);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSockets, LabIcmpErrors, ::testing::Values(Kind::Datagram, Kind::Raw),
                         [](const auto& param) {
                             return param.param == Kind::Raw ? "Raw" : "Datagram";
                         });

}  // namespace
}  // namespace sondrel::lab
