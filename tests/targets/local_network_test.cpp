#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "support/qt_printers.h"
#include "targets/local_network.h"
#include "targets/target_expansion.h"

namespace sondrel {
namespace {

const QString RouteHeader = QStringLiteral(
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT");

// A routing table line for a destination and gateway, written as the kernel does.
QString RouteLine(const char* iface, const char* destination, const char* gateway, int flags) {
    auto hex = [](const char* address) {
        in_addr a{};
        inet_pton(AF_INET, address, &a);
        return QStringLiteral("%1").arg(a.s_addr, 8, 16, QLatin1Char('0')).toUpper();
    };
    return QStringLiteral("%1\t%2\t%3\t%4\t0\t0\t100\t00000000\t0\t0\t0")
        .arg(QLatin1String(iface), hex(destination), hex(gateway))
        .arg(flags, 4, 16, QLatin1Char('0'));
}

TEST(RouteTableTest, FirstDefaultRouteWithAGatewayWins) {
    const QStringList table{
        RouteHeader,
        RouteLine("eth0", "0.0.0.0", "0.0.0.0", 0x0001),          // default route, no gateway
        RouteLine("eth0", "192.168.7.0", "192.168.7.1", 0x0003),  // not a default route
        RouteLine("wlan0", "0.0.0.0", "192.168.1.1", 0x0003),
        RouteLine("eth1", "0.0.0.0", "10.0.0.1", 0x0003),
    };
    EXPECT_EQ(GatewayFromRouteTable(table), QStringLiteral("192.168.1.1"));
    EXPECT_EQ(GatewayFromRouteTable({RouteHeader, table[1], table[2]}), QString());
    EXPECT_EQ(GatewayFromRouteTable({}), QString());
    EXPECT_EQ(GatewayFromRouteTable(
                  {QStringLiteral("junk 00000000 zz 0003"), QStringLiteral("00000000"), table[4]}),
              QStringLiteral("10.0.0.1"));
}

TEST(RouteTableTest, KernelHexIsReadInThisMachinesByteOrder) {
    // 192.168.1.1 in network order is C0 A8 01 01; a little-endian kernel prints 0101A8C0.
    const QString printed =
        Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? QStringLiteral("0101A8C0") : QStringLiteral("C0A80101");
    EXPECT_EQ(GatewayFromRouteTable({QStringLiteral("eth0\t00000000\t") + printed +
                                     QStringLiteral("\t0003\t0\t0\t0\t00000000\t0\t0\t0")}),
              QStringLiteral("192.168.1.1"));
}

TEST(ResolvConfTest, TakesTheIpv4NameserverLinesInOrder) {
    const QStringList conf{
        QStringLiteral("# written by hand"),
        QStringLiteral("search lan example.org"),
        QStringLiteral("nameserver 10.0.0.53"),
        QStringLiteral("nameserver ::1"),
        QStringLiteral("#nameserver 10.9.9.9"),
        QStringLiteral(";nameserver 10.9.9.8"),
        QStringLiteral("nameserver\t 192.168.1.1   # the router"),
        QStringLiteral("nameserver 999.1.1.1"),
        QStringLiteral("nameserver"),
        QStringLiteral("options edns0"),
        QStringLiteral("  nameserver 10.0.0.54"),
    };
    EXPECT_EQ(NameServersFromResolvConf(conf),
              (QStringList{"10.0.0.53", "192.168.1.1", "10.0.0.54"}));
    EXPECT_EQ(NameServersFromResolvConf({}), QStringList());
}

TEST(SystemLocalNetworkTest, ReadsTheFilesItIsPointedAt) {
    QTemporaryDir dir;
    QFile route(dir.filePath(QStringLiteral("route")));
    ASSERT_TRUE(route.open(QIODevice::WriteOnly));
    route.write((RouteHeader + QLatin1Char('\n') +
                 RouteLine("eth0", "10.1.0.0", "0.0.0.0", 0x0001) + QLatin1Char('\n') +
                 RouteLine("eth0", "0.0.0.0", "10.1.0.254", 0x0003) + QLatin1Char('\n'))
                    .toUtf8());
    route.close();
    QFile conf(dir.filePath(QStringLiteral("resolv.conf")));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("nameserver 10.1.0.53\nnameserver 10.1.0.54\n");
    conf.close();

    SystemLocalNetwork network(route.fileName(), conf.fileName());
    EXPECT_EQ(network.gatewayAddress(), QStringLiteral("10.1.0.254"));
    EXPECT_EQ(network.dnsServers(), (QStringList{"10.1.0.53", "10.1.0.54"}));

    SystemLocalNetwork missing(dir.filePath(QStringLiteral("none")),
                               dir.filePath(QStringLiteral("none")));
    EXPECT_EQ(missing.gatewayAddress(), QString());
    EXPECT_EQ(missing.dnsServers(), QStringList());
}

TEST(SystemLocalNetworkTest, LocalAddressIsAnIpv4AddressOffLoopbackOrNothing) {
    const QString local = SystemLocalNetwork().localAddress();
    if (!local.isEmpty()) {
        EXPECT_EQ(ClassifyAddress(local).kind, AddressKind::Address) << local.toStdString();
        EXPECT_FALSE(local.startsWith(QStringLiteral("127.")));
    }
}

TEST(SubnetTest, PrefixIsTheTextBeforeTheLastDot) {
    EXPECT_EQ(SubnetPrefix(QStringLiteral("192.168.1.23")), QStringLiteral("192.168.1"));
    EXPECT_EQ(SubnetPrefix(QStringLiteral("a.b")), QStringLiteral("a"));
    EXPECT_EQ(SubnetPrefix(QStringLiteral("10.0.0.")), QStringLiteral("10.0.0"));
    EXPECT_EQ(SubnetPrefix(QString()), QString());
    EXPECT_EQ(SubnetPrefix(QStringLiteral("nodots")), QString());
    // Only the last 99 characters are searched.
    EXPECT_EQ(SubnetPrefix(QStringLiteral("a.") + QString(98, QLatin1Char('x'))), QString("a"));
    EXPECT_EQ(SubnetPrefix(QStringLiteral("a.") + QString(99, QLatin1Char('x'))), QString());
}

TEST(SubnetTest, ThirteenEntriesForTheLocalSubnet) {
    const QStringList entries = SubnetEntries(QStringLiteral("192.168.1.23"));
    ASSERT_EQ(entries.size(), 13);
    EXPECT_EQ(entries[0], QStringLiteral("BIP_组群_01,192.168.1.1,192.168.1.2,192.168.1.3,"
                                         "192.168.1.4,192.168.1.5,192.168.1.10,192.168.1.20,"
                                         "192.168.1.30,192.168.1.40"));
    const QStringList whole = entries[1].split(QLatin1Char(','));
    ASSERT_EQ(whole.size(), 257);
    EXPECT_EQ(whole.first(), QStringLiteral("BIP_组群_子网(0-255)"));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(whole[i + 1], QStringLiteral("192.168.1.%1").arg(i));
    const QStringList ranges{
        "CIP_范围_01_子网_(0-255),192.168.1.0,192.168.1.255",
        "CIP_范围_02_子网_(0-24),192.168.1.0,192.168.1.24",
        "CIP_Range_03_子网_(25-49),192.168.1.25,192.168.1.49",
        "CIP_范围_04_子网_(50-74),192.168.1.50,192.168.1.74",
        "CIP_范围_05_子网_(75-99),192.168.1.75,192.168.1.99",
        "CIP_范围_06_子网_(100-124),192.168.1.100,192.168.1.124",
        "CIP_范围_07_子网_(125-149),192.168.1.125,192.168.1.149",
        "CIP_范围_08_子网_(150-174),192.168.1.150,192.168.1.174",
        "CIP_范围_09_子网_(175-199),192.168.1.175,192.168.1.199",
        "CIP_范围_10_子网_(200-224),192.168.1.200,192.168.1.224",
        "CIP_范围_11_子网_(225-255),192.168.1.225,192.168.1.255",
    };
    EXPECT_EQ(entries.mid(2), ranges);

    // The lines are entries the expansion understands.
    ExpandedTargets targets;
    ExpandTargetEntry(targets, entries[2], [](const QString&) { return QString(); });
    EXPECT_EQ(targets.count(), 256);
    EXPECT_EQ(targets.unresolvedCount, 0);
}

TEST(SubnetTest, NoEntriesWithoutALocalAddress) {
    EXPECT_EQ(SubnetEntries(QString()), QStringList());
    EXPECT_EQ(SubnetEntries(QStringLiteral("nodots")), QStringList());
}

}  // namespace
}  // namespace sondrel
