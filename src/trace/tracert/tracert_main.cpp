// tracert: the route to one target, hop by hop, in the layout of HelpText(). Several hops are
// probed at once; their lines come out in hop order, each as soon as it and the hops before
// it are complete.

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "trace/tracert/probe_socket.h"
#include "trace/tracert/trace_schedule.h"
#include "trace/tracert/tracert_args.h"
#include "trace/tracert/tracert_output.h"

namespace sondrel::tracert {
namespace {

using Clock = std::chrono::steady_clock;

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);  // the trace reader reads the file while it grows
}

// An address in any form inet_aton takes ("10.1" too), else the first IPv4 address of the
// name. False when the name does not resolve.
bool resolve(const std::string& text, std::uint32_t& address, bool& wasAddress) {
    in_addr parsed{};
    wasAddress = ::inet_aton(text.c_str(), &parsed) != 0;
    if (wasAddress) {
        address = ntohl(parsed.s_addr);
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return true;
}

std::string reverseName(std::uint32_t address) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(address);
    char name[NI_MAXHOST];
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&a), sizeof a, name, sizeof name, nullptr,
                      0, NI_NAMEREQD) != 0)
        return {};
    return name;
}

// Reverse look-ups, each started as soon as a hop's node is known so that it is usually done
// by the time the line is printed. The threads are detached: the program ends without
// waiting for look-ups of hops it never prints.
class NameBook {
  public:
    explicit NameBook(bool enabled) : enabled_(enabled) {}
    void start(std::uint32_t address) {
        if (!enabled_ || names_.count(address))
            return;
        auto promise = std::make_shared<std::promise<std::string>>();
        names_[address] = promise->get_future().share();
        try {
            std::thread([promise, address] { promise->set_value(reverseName(address)); }).detach();
        } catch (const std::system_error&) {
            promise->set_value(reverseName(address));
        }
    }
    std::string get(std::uint32_t address) {
        if (!enabled_)
            return {};
        start(address);
        return names_[address].get();
    }

  private:
    bool enabled_;
    std::map<std::uint32_t, std::shared_future<std::string>> names_;
};

std::string readPingGroupRange() {
    std::ifstream file("/proc/sys/net/ipv4/ping_group_range");
    std::string low, high;
    if (!(file >> low >> high))
        return "unknown";
    return low + " " + high;
}

std::string programPath() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, std::size_t(length)) : std::string("tracert");
}

class Trace {
  public:
    Trace(ProbeSocket& socket, const Options& options, std::uint32_t target)
        : socket_(socket),
          options_(options),
          target_(target),
          schedule_(options.maxHops),
          names_(options.resolveNames),
          probes_(std::size_t(options.maxHops) * ProbesPerHop),
          base_(std::uint16_t(std::random_device{}())) {}

    void run() {
        frontierMovedAt_ = Clock::now();
        for (;;) {
            for (const int hop : schedule_.startHops())
                send(hop);
            for (const HopResult& hop : schedule_.takeReady())
                print(hop);
            if (schedule_.finished())
                return;
            wait();
            while (auto received = socket_.receive())
                take(*received);
            expire();
            watchFrontier();
        }
    }

  private:
    struct Probe {
        timespec sentAt{};
        Clock::time_point deadline;
    };

    std::size_t index(int hop, int probe) const {
        return std::size_t(hop - 1) * ProbesPerHop + std::size_t(probe);
    }

    void send(int hop) {
        for (int k = 0; k < ProbesPerHop; ++k) {
            Probe& p = probes_[index(hop, k)];
            const int error =
                socket_.send(target_, hop, std::uint16_t(base_ + index(hop, k)), p.sentAt);
            p.deadline = Clock::now() + std::chrono::milliseconds(options_.timeoutMs);
            if (error != 0)
                schedule_.sendFailed(hop, k, error);
        }
    }

    // Hops past the frontier go out a few at a time while routers keep answering; when the
    // frontier stands still for a few round trips, the hops ahead are silent, and all of the
    // window is used so that they cost as few time-outs as possible.
    Clock::duration stallTime() const {
        return std::chrono::milliseconds(std::min(options_.timeoutMs, 20 + 3 * maxRttMs_));
    }

    void watchFrontier() {
        const Clock::time_point now = Clock::now();
        if (schedule_.frontier() != frontier_) {
            frontier_ = schedule_.frontier();
            frontierMovedAt_ = now;
        } else if (!schedule_.opened() && now - frontierMovedAt_ >= stallTime()) {
            schedule_.open();
        }
    }

    void wait() {
        Clock::time_point next =
            schedule_.opened() ? Clock::time_point::max() : frontierMovedAt_ + stallTime();
        for (int hop = 1; hop <= schedule_.end(); ++hop) {
            for (int k = 0; k < ProbesPerHop; ++k) {
                if (schedule_.awaited(hop, k))
                    next = std::min(next, probes_[index(hop, k)].deadline);
            }
        }
        int timeoutMs = -1;
        if (next != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
            timeoutMs = int(std::max<std::int64_t>(left.count(), 0));
        }
        pollfd p{socket_.fd(), POLLIN, 0};
        ::poll(&p, 1, timeoutMs);
    }

    void take(const ProbeSocket::Received& received) {
        const net::IcmpMatch& m = received.match;
        const std::size_t i = std::uint16_t(m.sequence - base_);
        if (i >= probes_.size())
            return;
        const int hop = int(i / ProbesPerHop) + 1;
        const int k = int(i % ProbesPerHop);
        if (!schedule_.awaited(hop, k))
            return;
        const timespec& sent = probes_[i].sentAt;
        const std::int64_t ns = (std::int64_t(received.at.tv_sec) - sent.tv_sec) * 1000000000 +
                                (received.at.tv_nsec - sent.tv_nsec);
        const std::int64_t rttMs = std::max<std::int64_t>(ns, 0) / 1000000;
        if (rttMs >= options_.timeoutMs) {
            schedule_.timedOut(hop, k);  // it came, but too late
            return;
        }
        maxRttMs_ = std::max(maxRttMs_, int(rttMs));
        ProbeAnswer answer;
        answer.rttMs = int(rttMs);
        answer.type = m.type;
        answer.code = m.code;
        if (m.kind == net::IcmpKind::EchoReply) {
            answer.kind = ProbeAnswer::Kind::EchoReply;
            answer.from = m.source;
        } else {
            const bool transit = m.type == net::IcmpType::TimeExceeded && m.code == 0;
            answer.kind = transit ? ProbeAnswer::Kind::TtlExpired : ProbeAnswer::Kind::Error;
            answer.from = m.offender != 0 ? m.offender : m.source;
        }
        schedule_.answered(hop, k, answer);
        if (answer.from != 0 && hop <= schedule_.end())
            names_.start(answer.from);
    }

    void expire() {
        const Clock::time_point now = Clock::now();
        for (int hop = 1; hop <= schedule_.end(); ++hop) {
            for (int k = 0; k < ProbesPerHop; ++k) {
                if (schedule_.awaited(hop, k) && probes_[index(hop, k)].deadline <= now)
                    schedule_.timedOut(hop, k);
            }
        }
    }

    void print(const HopResult& hop) {
        HopLine line;
        line.hop = hop.hop;
        line.rttMs = hop.rttMs;
        if (hop.node != 0)
            line.node = FormatNode(names_.get(hop.node), hop.node);
        if (hop.error)
            line.report = ErrorText(hop.error->type, hop.error->code);
        else if (hop.sendError != 0)
            line.report = SendFailureText(hop.sendError);
        printLine(FormatHopLine(line));
    }

    ProbeSocket& socket_;
    const Options& options_;
    std::uint32_t target_;
    TraceSchedule schedule_;
    NameBook names_;
    std::vector<Probe> probes_;
    std::uint16_t base_;
    int frontier_ = 0;
    Clock::time_point frontierMovedAt_;
    int maxRttMs_ = 0;
};

int run(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedArguments parsed = ParseArguments(arguments);
    if (parsed.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "tracert: %s\n%s\n", parsed.error.c_str(), UsageLine().c_str());
        return 2;
    }
    const Options& options = parsed.options;
    std::uint32_t target = 0;
    bool targetIsAddress = false;
    if (!resolve(options.target, target, targetIsAddress)) {
        printLine(UnresolvedLine(options.target));
        return 1;
    }
    std::vector<std::uint32_t> route;
    for (const std::string& host : options.hostList) {
        std::uint32_t address = 0;
        bool ignored = false;
        if (!resolve(host, address, ignored)) {
            printLine(UnresolvedLine(host));
            return 1;
        }
        route.push_back(address);
    }

    auto socket = std::make_unique<ProbeSocket>();
    if (!socket->open()) {
        std::fprintf(stderr, "%s\n",
                     NoRightsLine(unsigned(::getegid()), readPingGroupRange(), programPath(),
                                  socket->datagramError(), socket->rawError())
                         .c_str());
        return 2;
    }
    if (!route.empty()) {
        const std::vector<std::uint8_t> option = LooseSourceRouteOption(route);
        bool set = socket->setOptions(option);
        int error = errno;
        // Source routes take CAP_NET_RAW. A user of the datagram socket may lack it; then the
        // raw socket is the one other way, and it needs the same right.
        if (!set && socket->kind() == ProbeSocket::Kind::Datagram) {
            auto raw = std::make_unique<ProbeSocket>();
            if (raw->open(true)) {
                set = raw->setOptions(option);
                error = errno;
                if (set)
                    socket = std::move(raw);
            }
        }
        if (!set) {
            std::fprintf(stderr, "%s\n", SourceRouteRefusedLine(programPath(), error).c_str());
            return 2;
        }
    }

    const bool showName = options.resolveNames && !targetIsAddress;
    printLine("");
    printLine(HeaderLine(options.maxHops, showName ? options.target : std::string(), target));
    printLine("");
    Trace(*socket, options, target).run();
    printLine("");
    printLine("跟踪完成。");
    return 0;
}

}  // namespace
}  // namespace sondrel::tracert

int main(int argc, char** argv) {
    const int code = sondrel::tracert::run(argc, argv);
    std::fflush(stdout);
    // Look-ups of hops after the end may still run on their threads; nothing waits for them.
    std::_Exit(code);
}
