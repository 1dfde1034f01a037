#pragma once

// tracert probes through the socket of the packet library, shared with the scan worker.

#include "net/probe_socket.h"

namespace sondrel::tracert {

using net::LooseSourceRouteOption;
using net::ProbeSocket;

}  // namespace sondrel::tracert
