#pragma once

// Which hops to probe when, and which hop lines may be printed, for a trace that keeps
// several hops in flight at once. It knows nothing of sockets or clocks: the caller reports
// what happened to each probe, and takes the lines out in hop order.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace sondrel::tracert {

constexpr int ProbesPerHop = 3;
constexpr int MaxHopsInFlight = 16;
// Hops sent past the last one a router answered, until the schedule is opened: more would
// mostly reach the target (or the router that cannot forward) and only add load there.
constexpr int HopsAhead = 3;

// An answer to one probe.
struct ProbeAnswer {
    enum class Kind {
        EchoReply,   // the target itself answered
        TtlExpired,  // time exceeded in transit: a router on the way
        Error,       // any other ICMP error; the trace ends at its hop
    };
    Kind kind = Kind::EchoReply;
    std::uint32_t from = 0;  // host byte order
    int rttMs = 0;
    int type = 0;  // Error: the ICMP type and code
    int code = 0;
};

struct HopResult {
    int hop = 0;
    std::array<std::optional<int>, ProbesPerHop> rttMs;  // answered probes
    std::uint32_t node = 0;            // the first that answered; 0 when nobody did
    bool reached = false;              // the target answered
    std::optional<ProbeAnswer> error;  // the first error other than TTL expiry
    int sendError = 0;                 // errno of a probe that could not be sent
    bool last() const { return reached || error || sendError != 0; }
};

class TraceSchedule {
  public:
    explicit TraceSchedule(int maxHops, int maxInFlight = MaxHopsInFlight, int ahead = HopsAhead);

    // The hops to send now, in order, each with all its probes: up to `ahead` hops past the
    // frontier (or, once opened, as many as keep `maxInFlight` hops unfinished), never one
    // past the hop that ends the trace.
    std::vector<int> startHops();

    // The highest hop a router answered with a TTL expiry; 0 before any did.
    int frontier() const { return frontier_; }
    // Lifts the limit of hops past the frontier, for good: the caller does so when the
    // frontier has not moved for a while (silent hops ahead).
    void open() { opened_ = true; }
    bool opened() const { return opened_; }

    // The outcome of probe `probe` (0 to ProbesPerHop - 1) of a started hop. Only the first
    // outcome of a probe counts.
    void answered(int hop, int probe, const ProbeAnswer& answer);
    void timedOut(int hop, int probe);
    void sendFailed(int hop, int probe, int error);

    // The hops now complete that are next in order, each handed out once; nothing after the
    // hop that ends the trace.
    std::vector<HopResult> takeReady();

    // True while the outcome of that probe is still needed: started, no outcome yet, and its
    // hop not after the one that ends the trace.
    bool awaited(int hop, int probe) const;

    // Every line of the trace has been handed out.
    bool finished() const { return nextToPrint_ > end_; }
    // The last hop the trace can reach as far as is known now.
    int end() const { return end_; }

  private:
    struct Hop {
        HopResult result;
        std::array<bool, ProbesPerHop> done{};
        bool started = false;
        bool complete() const;
    };
    Hop* find(int hop, int probe);
    void settle(Hop& hop, int probe);
    int inFlight() const;

    std::vector<Hop> hops_;  // index hop - 1
    int maxInFlight_;
    int ahead_;
    int end_;
    int frontier_ = 0;
    bool opened_ = false;
    int nextToStart_ = 1;
    int nextToPrint_ = 1;
};

}  // namespace sondrel::tracert
