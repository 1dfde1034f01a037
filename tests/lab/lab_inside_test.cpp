// Cases that must run in a process of their own inside the lab: name resolution needs the
// client's own /etc files (which only `ip netns exec` shows), and the missing-privilege
// message needs a user without rights. The parent test starts this same test program there
// with SONDREL_LAB_INSIDE set; only then are the LabInside cases registered at all, so they
// can never run, and never ask a name server, outside the lab.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include "common/system_resolver.h"
#include "engine/icmp_echo.h"
#include "lab/lab_fixture.h"

namespace sondrel::lab {
namespace {

constexpr char InsideVariable[] = "SONDREL_LAB_INSIDE";
constexpr uid_t Nobody = 65534;

// --- run inside the lab --------------------------------------------------------------------

class ResolverInsideClient : public ::testing::Test {
    void TestBody() override {
        // The lab's files must be the ones in sight, or the unknown name could go out.
        QFile resolvConf(QStringLiteral("/etc/resolv.conf"));
        ASSERT_TRUE(resolvConf.open(QIODevice::ReadOnly));
        ASSERT_EQ(resolvConf.readAll().trimmed(), QByteArray("nameserver 127.0.0.1"));
        ASSERT_FALSE(QFile::exists(QStringLiteral("/run/nscd/socket")));

        SystemResolver resolver;
        EXPECT_EQ(resolver.hostNameToAddress(QStringLiteral("hosta")),
                  QLatin1String(LabNetwork::HostAAddress));
        EXPECT_EQ(resolver.hostNameToAddress(QStringLiteral("twohomes")),
                  QLatin1String(LabNetwork::HostBAddress));  // the first of its two
        EXPECT_EQ(resolver.hostNameToAddress(QStringLiteral("no-such-host.invalid")), QString());
        EXPECT_EQ(resolver.localHostAddress(), QLatin1String(LabNetwork::ClientAddress));

        std::optional<Resolver::Resolved> many;
        resolver.resolveMany({QStringLiteral("hostb"), QStringLiteral("router"),
                              QStringLiteral("no-such-host.invalid")},
                             [&](Resolver::Resolved r) { many = r; });
        ASSERT_TRUE(spinUntil([&] { return many.has_value(); }));
        EXPECT_EQ(many->value(QStringLiteral("hostb")), QLatin1String(LabNetwork::HostBAddress));
        EXPECT_EQ(many->value(QStringLiteral("router")), QLatin1String(LabNetwork::RouterAddress));
        EXPECT_TRUE(many->contains(QStringLiteral("no-such-host.invalid")));
        EXPECT_EQ(many->value(QStringLiteral("no-such-host.invalid")), QString());
    }
};

class NoPrivilegeInside : public ::testing::Test {
    void TestBody() override {
        ASSERT_EQ(getuid(), Nobody);
        IcmpEcho echo;
        const QString message = echo.open();
        EXPECT_TRUE(message.contains(QStringLiteral("sudo setcap cap_net_raw+ep ") +
                                     QCoreApplication::applicationFilePath()))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("net.ipv4.ping_group_range")));
        EXPECT_TRUE(message.contains(QStringLiteral("65534")));
        EXPECT_EQ(echo.openKind(), IcmpEcho::SocketKind::Auto);
        EXPECT_FALSE(IcmpEcho(IcmpEcho::SocketKind::Datagram).open().isEmpty());
        EXPECT_FALSE(IcmpEcho(IcmpEcho::SocketKind::Raw).open().isEmpty());

        // A probe on a transport that did not open fails, later, instead of hanging.
        std::optional<EchoReply> outcome;
        echo.send({0x7f000001, 32, 500}, [&](const EchoReply& r) { outcome = r; });
        EXPECT_FALSE(outcome);
        ASSERT_TRUE(spinUntil([&] { return outcome.has_value(); }));
        EXPECT_EQ(outcome->status, EchoStatus::GeneralFailure);
    }
};

template <typename T>
void registerInside(const char* name) {
    ::testing::RegisterTest("LabInside", name, nullptr, nullptr, __FILE__, __LINE__,
                            []() -> ::testing::Test* { return new T; });
}

[[maybe_unused]] const bool insideRegistered = [] {
    if (!qEnvironmentVariableIsSet(InsideVariable))
        return false;
    registerInside<ResolverInsideClient>("Resolver");
    registerInside<NoPrivilegeInside>("NoPrivilege");
    return true;
}();

// --- started from outside ------------------------------------------------------------------

class LabInsideRuns : public LabFixture<> {
  protected:
    LabNetwork::Result runSelf(LabNetwork::Node node, const QStringList& prefix,
                               const QString& test) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(InsideVariable), QStringLiteral("1"));
        QStringList arguments = prefix;
        const QString self = QCoreApplication::applicationFilePath();
        const QString program = prefix.isEmpty() ? self : arguments.takeFirst();
        if (!prefix.isEmpty())
            arguments << self;
        arguments << QStringLiteral("--gtest_filter=LabInside.") + test;
        return lab().run(node, program, arguments, 30000, environment);
    }
    static void expectPassed(const LabNetwork::Result& result) {
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out.contains("[  PASSED  ] 1 test."))
            << result.out.toStdString() << result.err.toStdString();
    }
};

TEST_F(LabInsideRuns, ResolverReadsTheClientsHostsAndNeverLeaves) {
    expectPassed(runSelf(LabNetwork::Node::Client, {}, QStringLiteral("Resolver")));
}

// Host A keeps the default ping_group_range ("1 0": nobody may), and nobody has no
// CAP_NET_RAW: neither socket opens.
TEST_F(LabInsideRuns, UserWithoutRightsGetsTheOneMessage) {
    const QString self = QCoreApplication::applicationFilePath();
    if (!runnableByOthers(self))
        GTEST_SKIP() << "user nobody cannot reach " << self.toStdString();
    ASSERT_EQ(lab().sysctl(LabNetwork::Node::HostA, QStringLiteral("net.ipv4.ping_group_range")),
              QStringLiteral("1 0"));
    expectPassed(runSelf(LabNetwork::Node::HostA,
                         {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                          QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")},
                         QStringLiteral("NoPrivilege")));
}

}  // namespace
}  // namespace sondrel::lab
