#pragma once

#include <QString>

namespace sondrel {

// The IPv4 address of the first interface that is up and not the loopback, in the system's
// order (getifaddrs); empty when there is none.
QString FirstLocalIpv4Address();

}  // namespace sondrel
