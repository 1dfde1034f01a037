// The local network facts as the lab's client sees them: its address 10.201.1.2, the router as
// its default gateway, and the resolver configuration the lab gives it (one name server,
// 127.0.0.1). Nothing is sent: the facts are only read.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcessEnvironment>

#include "lab/lab_fixture.h"
#include "support/qt_printers.h"
#include "targets/local_network.h"

namespace sondrel::lab {
namespace {

constexpr char InsideVariable[] = "SONDREL_LAB_INSIDE";

void ExpectClientFacts(LocalNetworkSource& network) {
    EXPECT_EQ(network.localAddress(), QLatin1String(LabNetwork::ClientAddress));
    EXPECT_EQ(network.gatewayAddress(), QLatin1String(LabNetwork::RouterAddress));
    EXPECT_EQ(network.dnsServers(), QStringList{QStringLiteral("127.0.0.1")});
    const QStringList subnet = SubnetEntries(network.localAddress());
    ASSERT_EQ(subnet.size(), 13);
    EXPECT_EQ(subnet.last(),
              QStringLiteral("CIP_范围_11_子网_(225-255),10.201.1.225,10.201.1.255"));
}

// Runs in a process started inside the client with `ip netns exec`, which shows it the
// client's routing table and resolver configuration in their usual places.
class LocalNetworkInsideClient : public ::testing::Test {
    void TestBody() override {
        SystemLocalNetwork network;
        ExpectClientFacts(network);
    }
};

[[maybe_unused]] const bool insideRegistered = [] {
    if (!qEnvironmentVariableIsSet(InsideVariable))
        return false;
    ::testing::RegisterTest("LabInside", "LocalNetwork", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> ::testing::Test* { return new LocalNetworkInsideClient; });
    return true;
}();

class LocalNetworkLabTest : public LabFixture<> {};

TEST_F(LocalNetworkLabTest, ProgramInTheClientSeesTheClientsNetwork) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(InsideVariable), QStringLiteral("1"));
    const LabNetwork::Result result =
        lab().run(LabNetwork::Node::Client, QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_filter=LabInside.LocalNetwork")}, 30000, environment);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("[  PASSED  ] 1 test."))
        << result.out.toStdString() << result.err.toStdString();
}

// A thread that entered the client queries the client's interfaces; the two files are pointed
// at the client's own: the routing table of this thread's namespace and the lab's resolver
// configuration.
TEST_F(LocalNetworkLabTest, ThreadInTheClientWithTheClientsFiles) {
    InsideLab inside(lab());
    ASSERT_TRUE(inside.entered());
    SystemLocalNetwork network(QStringLiteral("/proc/thread-self/net/route"),
                               QStringLiteral("/etc/netns/") +
                                   lab().name(LabNetwork::Node::Client) +
                                   QStringLiteral("/resolv.conf"));
    ExpectClientFacts(network);
}

}  // namespace
}  // namespace sondrel::lab
