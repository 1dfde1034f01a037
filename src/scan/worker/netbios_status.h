#pragma once

// The NetBIOS node-status request (NBSTAT, RFC 1002) the scan worker sends to UDP port 137 to
// learn a host's adapter address, and the reading of the answer.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sondrel::scan {

inline constexpr std::uint16_t NetBiosNamePort = 137;
inline constexpr std::uint16_t NodeStatusType = 0x21;

// A node-status request for the name "*" with that transaction id.
std::vector<std::uint8_t> BuildNodeStatusRequest(std::uint16_t transaction);

// The unit id (the 6-byte adapter address after the name table) of a node-status answer with
// that transaction id; nothing for anything else or a packet too short for what it claims.
std::optional<std::array<std::uint8_t, 6>> ParseNodeStatusAnswer(
    std::span<const std::uint8_t> packet, std::uint16_t transaction);

}  // namespace sondrel::scan
