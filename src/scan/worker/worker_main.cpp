// Kestrune: the scan worker. One process per scanned address: it pings the address (twice
// when the first echo gets no answer), looks up the name of an answering host and, when there
// is one, the adapter address from the host's NetBIOS node status, then sends one report to
// the main program's datagram socket and ends. A failure prints its description on stderr and
// sends nothing.

#include <arpa/inet.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/probe_socket.h"
#include "scan/worker/scan_probes.h"
#include "scan/worker/scan_report.h"

namespace {

using namespace sondrel;

int Fail(const std::string& description) {
    std::fprintf(stderr, "Kestrune: %s\n", description.c_str());
    return 1;
}

std::string ReportDirectory() {
    if (const char* given = std::getenv(scan::ReportDirectoryVariable); given && *given)
        return given;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/sondrel";
    return {};
}

// Sends the report; the description of the failure, or the empty text.
std::string SendScanReport(const std::string& endpoint, const std::string& text) {
    const std::string directory = ReportDirectory();
    if (directory.empty())
        return "no report folder: neither " + std::string(scan::ReportDirectoryVariable) +
               " nor XDG_RUNTIME_DIR is set";
    sockaddr_un to{};
    to.sun_family = AF_UNIX;
    const std::string path = scan::ReportSocketPath(directory, endpoint);
    if (path.size() >= sizeof to.sun_path)
        return "the report socket path is too long: " + path;
    std::memcpy(to.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::string("socket: ") + std::strerror(errno);
    // A receiver whose queue is full holds the send; one that has gone away must not hold it
    // for ever.
    timeval limit{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const std::vector<std::uint8_t> datagram = scan::EncodeReport(text);
    const ssize_t sent = ::sendto(fd, datagram.data(), datagram.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    const int error = errno;
    ::close(fd);
    if (sent < 0)
        return "cannot send the report to " + path + ": " + std::strerror(error);
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    std::string error;
    const auto arguments = scan::ParseWorkerArguments(line, error);
    if (!arguments)
        return Fail(error);
    in_addr parsed{};
    if (::inet_aton(arguments->address.c_str(), &parsed) == 0)
        return Fail("not an IPv4 address: " + arguments->address);
    const std::uint32_t address = ntohl(parsed.s_addr);

    net::ProbeSocket socket;
    if (!socket.open(false, 'A')) {
        return Fail(std::string("cannot open an ICMP socket (datagram: ") +
                    std::strerror(socket.datagramError()) +
                    ", raw: " + std::strerror(socket.rawError()) +
                    "); allow ping sockets with the sysctl net.ipv4.ping_group_range or grant "
                    "cap_net_raw to sondrel with setcap");
    }
    auto answer = scan::ScanEcho(socket, address, 1);
    if (!answer)
        answer = scan::ScanEcho(socket, address, 2);

    std::string report = scan::NoAnswerReport(arguments->row);
    if (answer) {
        const std::string name = scan::ReverseHostName(address);
        const std::string mac = name.empty() ? std::string() : scan::NetBiosMacAddress(address);
        report = scan::AnswerReport(arguments->row, answer->milliseconds, answer->ttl, name, mac);
    }
    if (const std::string failed = SendScanReport(arguments->endpoint, report); !failed.empty())
        return Fail(failed);
    return 0;
}
