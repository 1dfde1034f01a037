#include "targets/local_network.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <net/route.h>
#include <netinet/in.h>

#include <QLatin1Char>
#include <QLatin1StringView>
#include <QRegularExpression>
#include <cstring>
#include <utility>

#include "common/local_address.h"
#include "common/text_file.h"

namespace sondrel {

namespace {

QStringList Fields(const QString& line) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return line.split(blanks, Qt::SkipEmptyParts);
}

bool IsIpv4Text(const QString& text) {
    in_addr address{};
    return inet_pton(AF_INET, text.toLatin1().constData(), &address) == 1;
}

// The routing table prints each address as the 32-bit value of its network-order bytes in
// this machine's byte order.
QString AddressFromRouteHex(const QString& hex) {
    bool ok = false;
    const quint32 value = hex.toUInt(&ok, 16);
    if (!ok)
        return {};
    unsigned char bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    return QStringLiteral("%1.%2.%3.%4")
        .arg(int(bytes[0]))
        .arg(int(bytes[1]))
        .arg(int(bytes[2]))
        .arg(int(bytes[3]));
}

QString SubnetMember(const QString& prefix, int last) {
    return prefix + QLatin1Char('.') + QString::number(last);
}

QString RangeLine(const QString& title, const QString& prefix, int first, int last) {
    return QLatin1Char('C') + title + QLatin1Char(',') + SubnetMember(prefix, first) +
           QLatin1Char(',') + SubnetMember(prefix, last);
}

QString GroupLine(const QString& title, const QString& prefix, const QList<int>& members) {
    QString line = QLatin1Char('B') + title;
    for (const int member : members)
        line += QLatin1Char(',') + SubnetMember(prefix, member);
    return line;
}

}  // namespace

SystemLocalNetwork::SystemLocalNetwork(QString routeTablePath, QString resolvConfPath)
    : routeTablePath_(std::move(routeTablePath)), resolvConfPath_(std::move(resolvConfPath)) {}

QString SystemLocalNetwork::localAddress() {
    return FirstLocalIpv4Address();
}

QString SystemLocalNetwork::gatewayAddress() {
    return GatewayFromRouteTable(ReadTextLines(routeTablePath_));
}

QStringList SystemLocalNetwork::dnsServers() {
    return NameServersFromResolvConf(ReadTextLines(resolvConfPath_));
}

QString GatewayFromRouteTable(const QStringList& lines) {
    // Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT
    for (const QString& line : lines) {
        const QStringList fields = Fields(line);
        if (fields.size() < 4 || fields[1] != QLatin1StringView("00000000"))
            continue;
        bool ok = false;
        const uint flags = fields[3].toUInt(&ok, 16);
        if (!ok || (flags & RTF_GATEWAY) == 0)
            continue;
        const QString gateway = AddressFromRouteHex(fields[2]);
        if (!gateway.isEmpty())
            return gateway;
    }
    return {};
}

QStringList NameServersFromResolvConf(const QStringList& lines) {
    QStringList servers;
    for (const QString& line : lines) {
        const QStringList fields = Fields(line);
        if (fields.size() >= 2 && fields[0] == QLatin1StringView("nameserver") &&
            IsIpv4Text(fields[1])) {
            servers << fields[1];
        }
    }
    return servers;
}

QString SubnetPrefix(const QString& address) {
    constexpr qsizetype SearchedTail = 99;
    const qsizetype dot = address.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < address.size() - SearchedTail)
        return {};
    return address.left(dot);
}

QStringList SubnetEntries(const QString& localAddress) {
    const QString p = SubnetPrefix(localAddress);
    if (p.isEmpty())
        return {};
    QList<int> all;
    for (int i = 0; i <= 255; ++i)
        all << i;
    return {
        GroupLine(QStringLiteral("IP_组群_01"), p, {1, 2, 3, 4, 5, 10, 20, 30, 40}),
        GroupLine(QStringLiteral("IP_组群_子网(0-255)"), p, all),
        RangeLine(QStringLiteral("IP_范围_01_子网_(0-255)"), p, 0, 255),
        RangeLine(QStringLiteral("IP_范围_02_子网_(0-24)"), p, 0, 24),
        RangeLine(QStringLiteral("IP_Range_03_子网_(25-49)"), p, 25, 49),
        RangeLine(QStringLiteral("IP_范围_04_子网_(50-74)"), p, 50, 74),
        RangeLine(QStringLiteral("IP_范围_05_子网_(75-99)"), p, 75, 99),
        RangeLine(QStringLiteral("IP_范围_06_子网_(100-124)"), p, 100, 124),
        RangeLine(QStringLiteral("IP_范围_07_子网_(125-149)"), p, 125, 149),
        RangeLine(QStringLiteral("IP_范围_08_子网_(150-174)"), p, 150, 174),
        RangeLine(QStringLiteral("IP_范围_09_子网_(175-199)"), p, 175, 199),
        RangeLine(QStringLiteral("IP_范围_10_子网_(200-224)"), p, 200, 224),
        RangeLine(QStringLiteral("IP_范围_11_子网_(225-255)"), p, 225, 255),
    };
}

}  // namespace sondrel
