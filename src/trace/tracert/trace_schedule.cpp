#include "trace/tracert/trace_schedule.h"

#include <algorithm>

namespace sondrel::tracert {

bool TraceSchedule::Hop::complete() const {
    return started && std::all_of(done.begin(), done.end(), [](bool d) { return d; });
}

TraceSchedule::TraceSchedule(int maxHops, int maxInFlight, int ahead)
    : hops_(std::size_t(std::max(maxHops, 1))),
      maxInFlight_(std::max(maxInFlight, 1)),
      ahead_(std::max(ahead, 1)),
      end_(std::max(maxHops, 1)) {
    for (std::size_t i = 0; i < hops_.size(); ++i)
        hops_[i].result.hop = int(i) + 1;
}

int TraceSchedule::inFlight() const {
    int count = 0;
    for (int hop = nextToPrint_; hop < nextToStart_ && hop <= end_; ++hop) {
        if (!hops_[std::size_t(hop - 1)].complete())
            ++count;
    }
    return count;
}

std::vector<int> TraceSchedule::startHops() {
    std::vector<int> start;
    int running = inFlight();
    const int last = opened_ ? end_ : std::min(end_, frontier_ + ahead_);
    while (nextToStart_ <= last && running < maxInFlight_) {
        hops_[std::size_t(nextToStart_ - 1)].started = true;
        start.push_back(nextToStart_++);
        ++running;
    }
    return start;
}

TraceSchedule::Hop* TraceSchedule::find(int hop, int probe) {
    if (hop < 1 || hop > int(hops_.size()) || probe < 0 || probe >= ProbesPerHop)
        return nullptr;
    Hop& h = hops_[std::size_t(hop - 1)];
    if (!h.started || h.done[std::size_t(probe)])
        return nullptr;
    return &h;
}

void TraceSchedule::settle(Hop& hop, int probe) {
    hop.done[std::size_t(probe)] = true;
    if (hop.result.last())
        end_ = std::min(end_, hop.result.hop);
}

void TraceSchedule::answered(int hop, int probe, const ProbeAnswer& answer) {
    Hop* h = find(hop, probe);
    if (!h)
        return;
    HopResult& r = h->result;
    r.rttMs[std::size_t(probe)] = std::max(answer.rttMs, 0);
    if (r.node == 0)
        r.node = answer.from;
    if (answer.kind == ProbeAnswer::Kind::EchoReply)
        r.reached = true;
    else if (answer.kind == ProbeAnswer::Kind::TtlExpired)
        frontier_ = std::max(frontier_, hop);
    else if (answer.kind == ProbeAnswer::Kind::Error && !r.error)
        r.error = answer;
    settle(*h, probe);
}

void TraceSchedule::timedOut(int hop, int probe) {
    if (Hop* h = find(hop, probe))
        settle(*h, probe);
}

void TraceSchedule::sendFailed(int hop, int probe, int error) {
    Hop* h = find(hop, probe);
    if (!h)
        return;
    if (h->result.sendError == 0)
        h->result.sendError = error;
    settle(*h, probe);
}

std::vector<HopResult> TraceSchedule::takeReady() {
    std::vector<HopResult> ready;
    while (nextToPrint_ <= end_ && hops_[std::size_t(nextToPrint_ - 1)].complete())
        ready.push_back(hops_[std::size_t(nextToPrint_++ - 1)].result);
    return ready;
}

bool TraceSchedule::awaited(int hop, int probe) const {
    if (hop < 1 || hop > end_ || probe < 0 || probe >= ProbesPerHop)
        return false;
    const Hop& h = hops_[std::size_t(hop - 1)];
    return h.started && !h.done[std::size_t(probe)];
}

}  // namespace sondrel::tracert
