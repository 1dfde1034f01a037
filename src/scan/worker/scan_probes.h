#pragma once

// What the scan worker asks the network: one echo, the host's name, its adapter address.

#include <cstdint>
#include <optional>
#include <string>

#include "net/probe_socket.h"

namespace sondrel::scan {

inline constexpr int EchoTimeoutMs = 1000;
inline constexpr int NetBiosTimeoutMs = 1000;

struct EchoAnswer {
    int milliseconds = 0;  // round trip, rounded down
    int ttl = 0;
};

// One echo request of 32 "A" bytes to `address` (host byte order), answered within the time
// out by an echo reply; an ICMP error or silence is no answer.
std::optional<EchoAnswer> ScanEcho(net::ProbeSocket& socket, std::uint32_t address,
                                   std::uint16_t sequence);

// The name the resolver gives for `address`, or the empty text.
std::string ReverseHostName(std::uint32_t address);

// The adapter address the host gives in a NetBIOS node-status answer, or the empty text.
std::string NetBiosMacAddress(std::uint32_t address, std::uint16_t port = 137);

}  // namespace sondrel::scan
