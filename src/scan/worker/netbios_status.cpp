#include "scan/worker/netbios_status.h"

#include <algorithm>

namespace sondrel::scan {

namespace {

constexpr std::size_t HeaderBytes = 12;
constexpr std::size_t EncodedNameBytes = 32;
constexpr std::size_t NameEntryBytes = 18;  // 15 characters, suffix, flags

std::uint16_t Word(std::span<const std::uint8_t> packet, std::size_t at) {
    return std::uint16_t(packet[at] << 8 | packet[at + 1]);
}

// Skips a name (labels or a compression pointer); the position after it, or nothing.
std::optional<std::size_t> SkipName(std::span<const std::uint8_t> packet, std::size_t at) {
    while (at < packet.size()) {
        const std::uint8_t length = packet[at];
        if (length == 0)
            return at + 1;
        if ((length & 0xC0) == 0xC0)
            return at + 2 <= packet.size() ? std::optional(at + 2) : std::nullopt;
        at += 1 + length;
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> BuildNodeStatusRequest(std::uint16_t transaction) {
    std::vector<std::uint8_t> packet = {std::uint8_t(transaction >> 8),
                                        std::uint8_t(transaction),
                                        0x00,
                                        0x00,  // a query, no flags
                                        0x00,
                                        0x01,  // one question
                                        0x00,
                                        0x00,
                                        0x00,
                                        0x00,
                                        0x00,
                                        0x00};
    packet.push_back(std::uint8_t(EncodedNameBytes));
    // "*" padded with zero bytes, each half-byte written as a letter from 'A'.
    std::array<std::uint8_t, 16> name{};
    name[0] = '*';
    for (const std::uint8_t c : name) {
        packet.push_back(std::uint8_t('A' + (c >> 4)));
        packet.push_back(std::uint8_t('A' + (c & 0x0F)));
    }
    packet.push_back(0x00);
    packet.insert(packet.end(), {0x00, std::uint8_t(NodeStatusType), 0x00, 0x01});
    return packet;
}

std::optional<std::array<std::uint8_t, 6>> ParseNodeStatusAnswer(
    std::span<const std::uint8_t> packet, std::uint16_t transaction) {
    if (packet.size() < HeaderBytes || Word(packet, 0) != transaction)
        return std::nullopt;
    const bool isResponse = (packet[2] & 0x80) != 0;
    if (!isResponse || (packet[3] & 0x0F) != 0 || Word(packet, 6) == 0)
        return std::nullopt;
    const std::optional<std::size_t> afterName = SkipName(packet, HeaderBytes);
    if (!afterName)
        return std::nullopt;
    std::size_t at = *afterName;
    if (at + 10 > packet.size() || Word(packet, at) != NodeStatusType)
        return std::nullopt;
    const std::size_t dataLength = Word(packet, at + 8);
    at += 10;
    if (at + std::max<std::size_t>(dataLength, 1) > packet.size())
        return std::nullopt;
    const std::size_t names = packet[at];
    const std::size_t unitId = at + 1 + names * NameEntryBytes;
    if (unitId + 6 > packet.size() || unitId + 6 > at + dataLength)
        return std::nullopt;
    std::array<std::uint8_t, 6> mac{};
    std::copy_n(packet.begin() + std::ptrdiff_t(unitId), 6, mac.begin());
    return mac;
}

}  // namespace sondrel::scan
