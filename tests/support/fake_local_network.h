#pragma once

#include <QString>
#include <QStringList>

#include "targets/local_network.h"

namespace sondrel::testing {

// A local network with the facts a test sets.
class FakeLocalNetwork final : public LocalNetworkSource {
  public:
    QString localAddress() override { return local; }
    QString gatewayAddress() override { return gateway; }
    QStringList dnsServers() override { return dns; }

    QString local;
    QString gateway;
    QStringList dns;
};

}  // namespace sondrel::testing
