#pragma once

// The socket the small programs (tracert, the scan worker) probe through: an ICMP datagram
// socket where ping_group_range allows it, else a raw ICMP socket (root or CAP_NET_RAW). On the
// datagram socket TTL expiry and unreachables arrive on the error queue; on the raw one as ICMP
// errors quoting the request. Replies carry the TTL they arrived with on both kinds.

#include <time.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "net/icmp_packet.h"

namespace sondrel::net {

// The IP options of a loose source route through `hosts` (host byte order, at most 9), as
// IP_OPTIONS takes them: a no-operation byte, then LSRR with every host. The kernel sends the
// packet to the first host and puts the real destination in the last slot.
std::vector<std::uint8_t> LooseSourceRouteOption(std::span<const std::uint32_t> hosts);

class ProbeSocket {
  public:
    enum class Kind { None, Datagram, Raw };

    ProbeSocket() = default;
    ~ProbeSocket();
    ProbeSocket(const ProbeSocket&) = delete;
    ProbeSocket& operator=(const ProbeSocket&) = delete;

    // Tries the datagram socket (unless `rawOnly`), then the raw one. False when neither
    // opens; the errno of each attempt is kept. Every request carries 32 bytes of `fill`.
    bool open(bool rawOnly = false, std::uint8_t fill = 0x20);
    Kind kind() const { return kind_; }
    int fd() const { return fd_; }
    int datagramError() const { return datagramError_; }
    int rawError() const { return rawError_; }

    // Sets the IP options of every following request; false (errno set) when refused.
    bool setOptions(std::span<const std::uint8_t> options);

    // Sends one echo request with that TTL and sequence number. Returns 0, or the errno.
    // `sentAt` gets the time of the send on the clock the receive stamps use.
    int send(std::uint32_t destination, int ttl, std::uint16_t sequence, timespec& sentAt);

    struct Received {
        IcmpMatch match;
        timespec at;  // when the kernel received it
    };
    // One waiting answer to one of our requests (echo reply or error), or nothing when no
    // more is waiting. Everything else on the socket is read and dropped.
    std::optional<Received> receive();

  private:
    void takePendingError();
    std::optional<Received> readOne(bool errorQueue, bool& more);

    int fd_ = -1;
    Kind kind_ = Kind::None;
    int datagramError_ = 0;
    int rawError_ = 0;
    std::uint16_t identifier_ = 0;  // raw socket: ours; the datagram socket's is the kernel's
    std::vector<std::uint8_t> packet_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace sondrel::net
