#include "scan/worker/scan_probes.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>

#include "scan/worker/netbios_status.h"
#include "scan/worker/scan_report.h"

namespace sondrel::scan {

namespace {

using SteadyClock = std::chrono::steady_clock;

int MillisecondsLeft(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

int ElapsedMs(const timespec& from, const timespec& to) {
    const long long ns = (to.tv_sec - from.tv_sec) * 1'000'000'000LL + (to.tv_nsec - from.tv_nsec);
    return ns > 0 ? int(ns / 1'000'000) : 0;
}

bool WaitReadable(int fd, SteadyClock::time_point deadline) {
    pollfd wanted{fd, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&wanted, 1, MillisecondsLeft(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

}  // namespace

std::optional<EchoAnswer> ScanEcho(net::ProbeSocket& socket, std::uint32_t address,
                                   std::uint16_t sequence) {
    timespec sentAt{};
    if (socket.send(address, 0, sequence, sentAt) != 0)
        return std::nullopt;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(EchoTimeoutMs);
    while (WaitReadable(socket.fd(), deadline)) {
        while (const auto received = socket.receive()) {
            const net::IcmpMatch& match = received->match;
            if (match.sequence != sequence)
                continue;
            if (match.kind == net::IcmpKind::Error && match.destination == address)
                return std::nullopt;
            if (match.kind == net::IcmpKind::EchoReply && match.source == address)
                return EchoAnswer{ElapsedMs(sentAt, received->at), match.ttl > 0 ? match.ttl : 0};
        }
    }
    return std::nullopt;
}

std::string ReverseHostName(std::uint32_t address) {
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = htonl(address);
    char name[NI_MAXHOST] = {};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&from), sizeof from, name, sizeof name,
                      nullptr, 0, NI_NAMEREQD) != 0)
        return {};
    return name;
}

std::string NetBiosMacAddress(std::uint32_t address, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return {};
    std::random_device entropy;
    const auto transaction = std::uint16_t(entropy());
    const std::vector<std::uint8_t> request = BuildNodeStatusRequest(transaction);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    std::string mac;
    if (::sendto(fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) >= 0) {
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(NetBiosTimeoutMs);
        std::uint8_t buffer[1500];
        while (mac.empty() && WaitReadable(fd, deadline)) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t length = ::recvfrom(fd, buffer, sizeof buffer, 0,
                                              reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (length < 0 && errno != EAGAIN && errno != EINTR)
                break;  // refused: nothing listens on the port
            if (length <= 0 || from.sin_addr.s_addr != to.sin_addr.s_addr)
                continue;
            if (const auto unit = ParseNodeStatusAnswer({buffer, std::size_t(length)}, transaction))
                mac = FormatMacAddress(*unit);
        }
    }
    ::close(fd);
    return mac;
}

}  // namespace sondrel::scan
