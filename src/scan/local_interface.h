#pragma once

#include <QString>

namespace sondrel {

// The name of the interface that holds the IPv4 `address` (getifaddrs); empty when none does.
QString InterfaceHoldingAddress(const QString& address);

}  // namespace sondrel
