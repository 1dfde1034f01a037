#pragma once

#include <QString>
#include <QStringList>

namespace sondrel {

// The three facts about the local network that the default target list and the scan of the
// local subnet are built from. Every query that fails gives an empty text or list.
class LocalNetworkSource {
  public:
    virtual ~LocalNetworkSource() = default;
    // The IPv4 address of the first network interface that has one, in the system's order.
    virtual QString localAddress() = 0;
    // The first default gateway.
    virtual QString gatewayAddress() = 0;
    // The DNS server addresses in the system's order.
    virtual QStringList dnsServers() = 0;
};

// The system's view: the first up, non-loopback interface with an IPv4 address (getifaddrs),
// the default gateway of the kernel's routing table, the IPv4 "nameserver" lines of the
// resolver configuration. The two file paths can be pointed elsewhere.
class SystemLocalNetwork final : public LocalNetworkSource {
  public:
    explicit SystemLocalNetwork(QString routeTablePath = QStringLiteral("/proc/net/route"),
                                QString resolvConfPath = QStringLiteral("/etc/resolv.conf"));

    QString localAddress() override;
    QString gatewayAddress() override;
    QStringList dnsServers() override;

  private:
    QString routeTablePath_;
    QString resolvConfPath_;
};

// The gateway of the first default route (destination 00000000 with the gateway flag) of a
// routing table in the layout of /proc/net/route; empty when there is none.
QString GatewayFromRouteTable(const QStringList& lines);

// The IPv4 addresses of the "nameserver" lines of a resolver configuration, in order.
QStringList NameServersFromResolvConf(const QStringList& lines);

// The address without its last dotted component; empty when there is no dot among its last
// 99 characters.
QString SubnetPrefix(const QString& address);

// The 13 subnet group and range entry lines built from the local address ("B" lines first,
// then "C" lines). Empty when the address gives no subnet prefix: entries such as ".1" would
// neither resolve nor expand.
QStringList SubnetEntries(const QString& localAddress);

// Shown by the scan of the local subnet when there is no local address.
inline const QString NoLocalNetworkMessage = QStringLiteral("找不到本地网络。");

}  // namespace sondrel
