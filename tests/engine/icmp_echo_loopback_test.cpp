// The real echo layer and resolver on this machine's loopback (127.0.0.0/8 only).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <cstring>
#include <thread>

#include "common/system_resolver.h"
#include "engine/echo.h"
#include "engine/icmp_echo.h"
#include "support/spin.h"

namespace sondrel {
namespace {

using Kind = IcmpEcho::SocketKind;

constexpr quint32 Loopback1 = 0x7f000001;

using testing::spinUntil;

void writeFile(const char* path, const char* text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return;
    [[maybe_unused]] auto n = ::write(fd, text, strlen(text));
    ::close(fd);
}

// A network namespace of this test's own: loopback only, ICMP datagram sockets allowed for
// every group. Needs root. Sockets opened while inside() runs belong to it for good.
class PrivateLoopback {
  public:
    static PrivateLoopback* get() {
        static PrivateLoopback* made = make();
        return made;
    }
    template <typename F>
    void inside(F&& f) {
        const int original = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::setns(fd_, CLONE_NEWNET), 0);
        f();
        ASSERT_EQ(::setns(original, CLONE_NEWNET), 0);
        ::close(original);
    }

  private:
    static PrivateLoopback* make() {
        if (geteuid() != 0)
            return nullptr;
        int fd = -1;
        std::thread([&fd] {
            if (::unshare(CLONE_NEWNET) != 0)
                return;
            const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            ifreq request{};
            strcpy(request.ifr_name, "lo");
            ::ioctl(s, SIOCGIFFLAGS, &request);
            request.ifr_flags |= IFF_UP;
            ::ioctl(s, SIOCSIFFLAGS, &request);
            ::close(s);
            writeFile("/proc/sys/net/ipv4/ping_group_range", "0 2147483647");
            fd = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        }).join();
        if (fd < 0)
            return nullptr;
        auto* made = new PrivateLoopback;
        made->fd_ = fd;
        return made;
    }
    int fd_ = -1;
};

QString readProc(const char* path) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).simplified()
                                          : QString();
}

// --- address conversion and status texts -----------------------------------------------

TEST(EchoAddressText, ConvertsShortFormsAndRefusesTheRest) {
    EXPECT_EQ(InetAddr(QStringLiteral("127.1")), std::optional<quint32>(0x7f000001));
    EXPECT_EQ(InetAddr(QStringLiteral("192.168.1")), std::optional<quint32>(0xc0a80001));
    EXPECT_EQ(InetAddr(QStringLiteral("10.201.2.10")), std::optional<quint32>(0x0ac9020a));
    EXPECT_FALSE(InetAddr(QStringLiteral("255.255.255.255")));
    EXPECT_FALSE(InetAddr(QStringLiteral("abc")));
    EXPECT_FALSE(InetAddr(QStringLiteral("1.2.3.256")));
    EXPECT_FALSE(InetAddr(QString()));
}

TEST(EchoAddressText, StatusTextsFollowTheTable) {
    EXPECT_EQ(EchoStatusText(0), QStringLiteral("ip 成功"));
    EXPECT_EQ(EchoStatusText(11010), QStringLiteral("请求超时。"));
    EXPECT_EQ(EchoStatusText(11004), EchoStatusText(11005));
    EXPECT_EQ(EchoStatusText(11005), QStringLiteral("ip 目标端口不可访问"));
    EXPECT_EQ(EchoStatusText(-1), QStringLiteral("inet_addr： IP 格式不正确"));
    EXPECT_EQ(EchoStatusText(11024), QStringLiteral("返回未知信息"));
    EXPECT_EQ(EchoStatusText(1), QStringLiteral("返回未知信息"));
}

TEST(IcmpErrorMapping, UnreachableCodesTimeExceededAndTheRest) {
    EXPECT_EQ(IcmpErrorStatus(3, 0), EchoStatus::NetUnreachable);
    EXPECT_EQ(IcmpErrorStatus(3, 1), EchoStatus::HostUnreachable);
    EXPECT_EQ(IcmpErrorStatus(3, 2), EchoStatus::ProtocolUnreachable);
    EXPECT_EQ(IcmpErrorStatus(3, 3), EchoStatus::PortUnreachable);
    EXPECT_EQ(IcmpErrorStatus(3, 4), EchoStatus::PacketTooBig);
    EXPECT_EQ(IcmpErrorStatus(3, 13), EchoStatus::HostUnreachable);  // administratively filtered
    EXPECT_EQ(IcmpErrorStatus(11, 0), EchoStatus::TtlExpiredTransit);
    EXPECT_EQ(IcmpErrorStatus(11, 1), EchoStatus::TtlExpiredReassembly);
    EXPECT_EQ(IcmpErrorStatus(12, 0), EchoStatus::ParameterProblem);
    EXPECT_EQ(IcmpErrorStatus(4, 0), EchoStatus::SourceQuench);
}

TEST(IcmpEchoPrivilege, MessageNamesEveryWayToGrantTheRight) {
    const QString both = IcmpEcho::noPrivilegeMessage(Kind::Auto, EACCES, EPERM);
    EXPECT_TRUE(both.contains(QStringLiteral("setcap cap_net_raw+ep ")));
    EXPECT_TRUE(both.contains(QCoreApplication::applicationFilePath()));
    EXPECT_TRUE(both.contains(QStringLiteral("net.ipv4.ping_group_range")));
    EXPECT_FALSE(both.contains(QLatin1Char('\n')));
    EXPECT_FALSE(IcmpEcho::noPrivilegeMessage(Kind::Raw, 0, EPERM)
                     .contains(QStringLiteral("ping_group_range")));
    EXPECT_FALSE(
        IcmpEcho::noPrivilegeMessage(Kind::Datagram, EACCES, 0).contains(QStringLiteral("setcap")));
}

// --- the echo layer on loopback, both socket kinds ---------------------------------------

struct Outcome {
    std::vector<EchoReply> replies;
    EchoTransport::Done sink() {
        return [this](const EchoReply& reply) { replies.push_back(reply); };
    }
};

class LoopbackEcho : public ::testing::TestWithParam<Kind> {
  protected:
    // Opens a transport of the kind under test, in a private namespace when the datagram
    // socket is not allowed here but we are root. Skips when neither is possible.
    std::unique_ptr<IcmpEcho> openEcho() {
        auto echo = std::make_unique<IcmpEcho>(GetParam());
        if (echo->open().isEmpty())
            return echo;
        if (GetParam() == Kind::Datagram && PrivateLoopback::get()) {
            QString error;
            PrivateLoopback::get()->inside([&] { error = echo->open(); });
            if (error.isEmpty())
                return echo;
        }
        return nullptr;
    }
    void SetUp() override {
        echo_ = openEcho();
        if (echo_)
            return;
        if (GetParam() == Kind::Raw)
            GTEST_SKIP() << "raw ICMP sockets need root or CAP_NET_RAW";
        GTEST_SKIP() << "ICMP datagram sockets are not allowed for group " << getegid()
                     << " (net.ipv4.ping_group_range = "
                     << readProc("/proc/sys/net/ipv4/ping_group_range").toStdString()
                     << ") and we are not root";
    }
    std::unique_ptr<IcmpEcho> echo_;
};

TEST_P(LoopbackEcho, EchoesEveryPayloadSizeExactly) {
    EXPECT_EQ(echo_->openKind(), GetParam());
    for (int size : {1, 32, 1472, 32000}) {
        Outcome out;
        echo_->send({Loopback1, size, 2000}, out.sink());
        ASSERT_TRUE(spinUntil([&] { return !out.replies.empty(); })) << "size " << size;
        const EchoReply& reply = out.replies.front();
        EXPECT_EQ(reply.status, EchoStatus::Success) << "size " << size;
        EXPECT_EQ(reply.dataSize, size);
        EXPECT_EQ(reply.address, Loopback1);
        EXPECT_EQ(reply.ttl, 64);
        EXPECT_LT(reply.roundTripTime, 20u);
    }
    EXPECT_EQ(echo_->inFlight(), 0);
}

TEST_P(LoopbackEcho, ProbesInFlightTogetherEachGetTheirOwnReply) {
    Outcome a, b, c;
    echo_->send({0x7f000001, 11, 2000}, a.sink());
    echo_->send({0x7f000002, 22, 2000}, b.sink());
    echo_->send({0x7f000003, 33, 2000}, c.sink());
    // Delivery is always from the event loop, never from inside send().
    EXPECT_TRUE(a.replies.empty() && b.replies.empty() && c.replies.empty());
    EXPECT_EQ(echo_->inFlight(), 3);
    ASSERT_TRUE(spinUntil([&] { return echo_->inFlight() == 0; }));
    spinUntil([] { return false; }, 30);  // nothing arrives twice
    ASSERT_EQ(a.replies.size(), 1u);
    ASSERT_EQ(b.replies.size(), 1u);
    ASSERT_EQ(c.replies.size(), 1u);
    EXPECT_EQ(a.replies[0].address, 0x7f000001u);
    EXPECT_EQ(b.replies[0].address, 0x7f000002u);
    EXPECT_EQ(c.replies[0].address, 0x7f000003u);
    EXPECT_EQ(a.replies[0].dataSize, 11);
    EXPECT_EQ(b.replies[0].dataSize, 22);
    EXPECT_EQ(c.replies[0].dataSize, 33);
}

TEST_P(LoopbackEcho, TwoTransportsNeverTakeEachOthersReplies) {
    std::unique_ptr<IcmpEcho> other = openEcho();
    ASSERT_TRUE(other);
    EXPECT_NE(other->identifier(), echo_->identifier());
    Outcome mine, theirs;
    for (int i = 0; i < 20; ++i) {
        echo_->send({Loopback1, 100, 2000}, mine.sink());
        other->send({Loopback1, 200, 2000}, theirs.sink());
    }
    ASSERT_TRUE(spinUntil([&] { return mine.replies.size() + theirs.replies.size() == 40; }));
    spinUntil([] { return false; }, 30);
    ASSERT_EQ(mine.replies.size(), 20u);
    ASSERT_EQ(theirs.replies.size(), 20u);
    for (const EchoReply& reply : mine.replies)
        EXPECT_EQ(reply.dataSize, 100);
    for (const EchoReply& reply : theirs.replies)
        EXPECT_EQ(reply.dataSize, 200);
}

TEST_P(LoopbackEcho, LateAnswerIsATimeOutAndCountsOnce) {
    // With no time at all to wait, even loopback is too slow; the reply that still arrives
    // must not produce a second outcome.
    Outcome out;
    echo_->send({Loopback1, 32, 0}, out.sink());
    ASSERT_TRUE(spinUntil([&] { return !out.replies.empty(); }));
    spinUntil([] { return false; }, 50);
    ASSERT_EQ(out.replies.size(), 1u);
    EXPECT_EQ(out.replies[0].status, EchoStatus::TimedOut);
    EXPECT_EQ(echo_->inFlight(), 0);
}

TEST_P(LoopbackEcho, CloseEndsProbesInFlightAndRefusesNewOnes) {
    Outcome inFlight, afterClose;
    echo_->send({Loopback1, 32, 2000}, inFlight.sink());
    echo_->close();
    echo_->send({Loopback1, 32, 2000}, afterClose.sink());
    EXPECT_TRUE(inFlight.replies.empty());
    ASSERT_TRUE(
        spinUntil([&] { return !inFlight.replies.empty() && !afterClose.replies.empty(); }));
    EXPECT_EQ(inFlight.replies[0].status, EchoStatus::TimedOut);
    EXPECT_EQ(afterClose.replies[0].status, EchoStatus::GeneralFailure);
    EXPECT_EQ(echo_->openKind(), Kind::Auto);
}

TEST_P(LoopbackEcho, OversizedPayloadFailsWithoutSending) {
    Outcome out;
    echo_->send({Loopback1, MaxProbeSize + 1, 2000}, out.sink());
    EXPECT_TRUE(out.replies.empty());
    ASSERT_TRUE(spinUntil([&] { return !out.replies.empty(); }));
    EXPECT_EQ(out.replies[0].status, EchoStatus::GeneralFailure);
}

// More probes than there are sequence numbers, one after another as a ping test sends them.
TEST_P(LoopbackEcho, SequenceNumbersWrapAroundWithoutLoss) {
    constexpr int Total = 70000;
    int answered = 0;
    int sent = 0;
    EchoTransport::Done next = [&](const EchoReply& reply) {
        if (reply.status == EchoStatus::Success && reply.dataSize == 8)
            ++answered;
        if (sent < Total) {
            ++sent;
            echo_->send({Loopback1, 8, 1000}, next);
        }
    };
    ++sent;
    echo_->send({Loopback1, 8, 1000}, next);
    ASSERT_TRUE(spinUntil([&] { return echo_->inFlight() == 0 && sent == Total; }, 60000));
    EXPECT_EQ(answered, Total);
}

INSTANTIATE_TEST_SUITE_P(BothSockets, LoopbackEcho, ::testing::Values(Kind::Datagram, Kind::Raw),
                         [](const auto& param) {
                             return param.param == Kind::Raw ? "Raw" : "Datagram";
                         });

// --- name resolution -------------------------------------------------------------------

// True when getaddrinfo talks to nothing but /etc/hosts and the DNS servers of resolv.conf
// (no caching daemon that would ask from outside our namespace).
bool resolverStaysInNamespace() {
    QFile file(QStringLiteral("/etc/nsswitch.conf"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).simplified();
        if (!line.startsWith(QStringLiteral("hosts:")))
            continue;
        for (const QString& source : line.mid(6).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (source != QStringLiteral("files") && source != QStringLiteral("dns"))
                return false;
        }
    }
    return !QFile::exists(QStringLiteral("/run/nscd/socket")) &&
           !QFile::exists(QStringLiteral("/run/systemd/resolve/io.systemd.Resolve"));
}

TEST(SystemResolverLoopback, LocalhostAndNumericTexts) {
    SystemResolver resolver;
    EXPECT_EQ(resolver.hostNameToAddress(QStringLiteral("localhost")), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(resolver.hostNameToAddress(QStringLiteral("10.201.7.8")),
              QStringLiteral("10.201.7.8"));
    EXPECT_EQ(resolver.hostNameToAddress(QStringLiteral("127.1")), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(resolver.hostNameToAddress(QString()), QString());
}

TEST(SystemResolverLoopback, ResolveManyAnswersLaterOnTheCallersThread) {
    SystemResolver resolver;
    std::optional<Resolver::Resolved> result;
    Qt::HANDLE thread = nullptr;
    resolver.resolveMany(
        {QStringLiteral("localhost"), QStringLiteral("127.0.0.9"), QStringLiteral("localhost")},
        [&](Resolver::Resolved r) {
            result = r;
            thread = QThread::currentThreadId();
        });
    EXPECT_FALSE(result);
    ASSERT_TRUE(spinUntil([&] { return result.has_value(); }));
    EXPECT_EQ(thread, QThread::currentThreadId());
    EXPECT_EQ(result->size(), 2);
    EXPECT_EQ(result->value(QStringLiteral("localhost")), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(result->value(QStringLiteral("127.0.0.9")), QStringLiteral("127.0.0.9"));

    std::optional<Resolver::Resolved> none;
    resolver.resolveMany({}, [&](Resolver::Resolved r) { none = r; });
    EXPECT_FALSE(none);
    ASSERT_TRUE(spinUntil([&] { return none.has_value(); }));
    EXPECT_TRUE(none->isEmpty());
}

// Inside the private namespace no packet can leave the machine, so asking for a name that
// does not exist is safe there; the namespace has loopback only, so no local address either.
TEST(SystemResolverLoopback, UnknownNameAndNoInterfaceGiveEmptyTexts) {
    if (!PrivateLoopback::get())
        GTEST_SKIP() << "needs root for a private network namespace";
    if (!resolverStaysInNamespace())
        GTEST_SKIP() << "the host resolver uses a daemon that could ask the network for us";
    SystemResolver resolver;
    QString unknown = QStringLiteral("not asked");
    QString local = QStringLiteral("not asked");
    PrivateLoopback::get()->inside([&] {
        unknown = resolver.hostNameToAddress(QStringLiteral("no-such-host.invalid"));
        local = resolver.localHostAddress();
    });
    EXPECT_EQ(unknown, QString());
    EXPECT_EQ(local, QString());
}

}  // namespace
}  // namespace sondrel
