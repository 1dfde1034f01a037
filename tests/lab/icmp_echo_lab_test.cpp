// The echo layer across the lab: a router between the client and two hosts.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "engine/echo.h"
#include "engine/icmp_echo.h"
#include "lab/lab_fixture.h"

namespace sondrel::lab {
namespace {

using Kind = IcmpEcho::SocketKind;

quint32 addressOf(const QString& text) {
    return InetAddr(text).value();
}

class LabEcho : public LabFixture<::testing::TestWithParam<Kind>> {
  protected:
    void SetUp() override {
        LabFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        echo_ = openInClient();
        ASSERT_TRUE(echo_);
    }

    std::unique_ptr<IcmpEcho> openInClient() {
        auto echo = std::make_unique<IcmpEcho>(GetParam());
        InsideLab inside(lab());
        EXPECT_TRUE(inside.entered());
        const QString error = echo->open();
        EXPECT_EQ(error, QString());
        EXPECT_EQ(echo->openKind(), GetParam());
        return error.isEmpty() ? std::move(echo) : nullptr;
    }

    // One probe, waited for. `elapsedMs` gets the time until the outcome arrived.
    EchoReply probe(const QString& address, int size = 32, int timeoutMs = 2000,
                    qint64* elapsedMs = nullptr) {
        std::optional<EchoReply> outcome;
        QElapsedTimer clock;
        clock.start();
        echo_->send({addressOf(address), size, timeoutMs},
                    [&](const EchoReply& reply) { outcome = reply; });
        EXPECT_TRUE(spinUntil([&] { return outcome.has_value(); }, timeoutMs + 2000));
        if (elapsedMs)
            *elapsedMs = clock.elapsed();
        return outcome.value_or(EchoReply{0, -999, 0, 0, 0});
    }

    std::unique_ptr<IcmpEcho> echo_;
};

TEST_P(LabEcho, TtlShrinksByOnePerRouterHop) {
    const EchoReply router = probe(LabNetwork::RouterAddress);
    EXPECT_EQ(router.status, EchoStatus::Success);
    EXPECT_EQ(router.ttl, 64);
    const EchoReply a = probe(LabNetwork::HostAAddress);
    EXPECT_EQ(a.status, EchoStatus::Success);
    EXPECT_EQ(a.address, addressOf(LabNetwork::HostAAddress));
    EXPECT_EQ(a.ttl, 63);
    const EchoReply b = probe(LabNetwork::HostBAddress);
    EXPECT_EQ(b.status, EchoStatus::Success);
    EXPECT_EQ(b.ttl, 127);
    EXPECT_LT(b.roundTripTime, 100u);
}

TEST_P(LabEcho, PayloadsUpTo32000BytesCrossTheRouterWhole) {
    for (int size : {1, 1472, 1473, 8000, 32000}) {
        const EchoReply reply = probe(LabNetwork::HostBAddress, size);
        EXPECT_EQ(reply.status, EchoStatus::Success) << "size " << size;
        EXPECT_EQ(reply.dataSize, size);
    }
}

TEST_P(LabEcho, ProbesToSeveralHostsAtOnceKeepTheirOwnOutcome) {
    std::optional<EchoReply> a, b, silent;
    echo_->send({addressOf(LabNetwork::HostAAddress), 40, 2000}, [&](auto& r) { a = r; });
    echo_->send({addressOf(lab().freshSilentAddress()), 50, 300}, [&](auto& r) { silent = r; });
    echo_->send({addressOf(LabNetwork::HostBAddress), 60, 2000}, [&](auto& r) { b = r; });
    ASSERT_TRUE(spinUntil([&] { return a && b; }));
    EXPECT_FALSE(silent) << "the silent probe must still be waiting";
    EXPECT_EQ(a->address, addressOf(LabNetwork::HostAAddress));
    EXPECT_EQ(a->ttl, 63);
    EXPECT_EQ(a->dataSize, 40);
    EXPECT_EQ(b->address, addressOf(LabNetwork::HostBAddress));
    EXPECT_EQ(b->ttl, 127);
    EXPECT_EQ(b->dataSize, 60);
    ASSERT_TRUE(spinUntil([&] { return silent.has_value(); }));
    EXPECT_EQ(silent->status, EchoStatus::TimedOut);
}

TEST_P(LabEcho, SilentAddressTimesOutAfterTheTimeOut) {
    qint64 elapsed = 0;
    const EchoReply reply = probe(lab().freshSilentAddress(), 32, 200, &elapsed);
    EXPECT_EQ(reply.status, EchoStatus::TimedOut);
    EXPECT_GE(elapsed, 200);
    EXPECT_LT(elapsed, 700);  // well before the router gives up on the address
    EXPECT_EQ(echo_->inFlight(), 0);
}

TEST_P(LabEcho, SilentAddressIsHostUnreachableWhenWaitedFor) {
    qint64 elapsed = 0;
    const EchoReply reply = probe(lab().freshSilentAddress(), 32, 4000, &elapsed);
    EXPECT_EQ(reply.status, EchoStatus::HostUnreachable);
    EXPECT_EQ(reply.address, addressOf(LabNetwork::RouterAddress));
    EXPECT_LT(elapsed, 3000);
}

TEST_P(LabEcho, UnroutedNetworkIsNetUnreachableAtOnce) {
    qint64 elapsed = 0;
    const EchoReply reply = probe(LabNetwork::UnroutedAddress, 32, 2000, &elapsed);
    EXPECT_EQ(reply.status, EchoStatus::NetUnreachable);
    EXPECT_EQ(reply.address, addressOf(LabNetwork::RouterAddress));
    EXPECT_LT(elapsed, 500);
    // The error left nothing behind that spoils the next probe.
    EXPECT_EQ(probe(LabNetwork::HostAAddress).status, EchoStatus::Success);
}

TEST_P(LabEcho, TtlOfOneExpiresInTransitAtTheRouter) {
    const QString key = QStringLiteral("net.ipv4.ip_default_ttl");
    const QString before = lab().sysctl(LabNetwork::Node::Client, key);
    ASSERT_TRUE(lab().setSysctl(LabNetwork::Node::Client, key, QStringLiteral("1")));
    const EchoReply reply = probe(LabNetwork::HostAAddress);
    lab().setSysctl(LabNetwork::Node::Client, key, before);
    EXPECT_EQ(reply.status, EchoStatus::TtlExpiredTransit);
    EXPECT_EQ(reply.address, addressOf(LabNetwork::RouterAddress));
    EXPECT_EQ(probe(LabNetwork::HostAAddress).status, EchoStatus::Success);
}

// A route of the "unreachable" kind makes sendto itself fail; the outcome still comes later,
// from the event loop.
TEST_P(LabEcho, LocalSendErrorArrivesLaterAsHostUnreachable) {
    const QStringList route = {QStringLiteral("10.201.8.8/32")};
    const auto routeCommand = [&](const char* verb) {
        return lab().runInClient(QStringLiteral("ip"),
                                 QStringList{QStringLiteral("route"), QString::fromLatin1(verb),
                                             QStringLiteral("unreachable")} +
                                     route);
    };
    ASSERT_EQ(routeCommand("add").exitCode, 0);
    std::optional<EchoReply> outcome;
    echo_->send({addressOf(QStringLiteral("10.201.8.8")), 32, 2000}, [&](auto& r) { outcome = r; });
    EXPECT_FALSE(outcome);
    EXPECT_TRUE(spinUntil([&] { return outcome.has_value(); }));
    routeCommand("del");
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->status, EchoStatus::HostUnreachable);
    EXPECT_EQ(echo_->inFlight(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothSockets, LabEcho, ::testing::Values(Kind::Datagram, Kind::Raw),
                         [](const auto& param) {
                             return param.param == Kind::Raw ? "Raw" : "Datagram";
                         });

}  // namespace
}  // namespace sondrel::lab
