#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "lab/netns_tools.h"

namespace sondrel::lab {

// A path of two routers for route traces, built in network namespaces and always torn down:
//
//   client .1.2 ── .1.1 gate .2.1 ── .2.2 core .3.1 ── .3.10 far
//                                         .4.1 ── .4.10 hidden        (all in 10.203/16)
//
// gate sends 10.203.3/24, .8/24 and .9/24 on to core and knows nothing of 10.203.4/24: the
// hidden host is reached only through a source route via core. core sends 10.203.8/24 on to
// far, which drops it silently (a black hole), and has no route for 10.203.9/24: "net
// unreachable". Addresses on far's link that nobody has get "host unreachable" from core once
// its address resolution gives up (3 x 100 ms). Every node accepts source routes and sends
// ICMP errors without rate limit, except one the namespaces cannot lift: the "no route" errors
// (net unreachable) are held by the machine-wide net.ipv4.route.error_cost and error_burst to
// a burst of 5, then one a second, per router and sender. The client's programs see a hosts
// file naming gate, core, far and hidden, and a resolv.conf pointing at 127.0.0.1, where
// nobody listens.
//
// Needs root and `ip netns`; names carry the process id ("sdt<pid>_<n><role>"), and
// leftovers of killed runs are removed first.
class TracertLab {
  public:
    enum class Node { Client, Gate, Core, Far, Hidden };

    static constexpr const char* GateAddress = "10.203.1.1";
    static constexpr const char* CoreAddress = "10.203.2.2";  // as the client sees it
    static constexpr const char* FarAddress = "10.203.3.10";
    static constexpr const char* HiddenAddress = "10.203.4.10";
    static constexpr const char* SilentAddress = "10.203.8.1";
    static constexpr const char* NetUnreachableAddress = "10.203.9.1";
    // On far's link, but nobody has it; new on every call (10.203.3.100 and up), so that no
    // state core keeps about an earlier one changes the outcome.
    QString freshUnansweredAddress() {
        return QStringLiteral("10.203.3.%1").arg(100 + unansweredUsed_++);
    }

    TracertLab();
    ~TracertLab();
    TracertLab(const TracertLab&) = delete;
    TracertLab& operator=(const TracertLab&) = delete;

    bool ok() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    QString name(Node node) const;

    bool setSysctl(Node node, const QString& key, const QString& value);

    struct Line {
        QString text;
        qint64 atMs = 0;  // when it arrived, from the start of the program
    };
    struct Result {
        bool finished = false;  // false: could not start, or killed after the time-out
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        QList<Line> lines;  // stdout, line by line as it came
        qint64 elapsedMs = 0;
    };
    // Runs `command` (program and arguments) inside the client namespace and records when
    // each line of its output arrived.
    Result runInClient(const QStringList& command, int timeoutMs = 30000) const;

  private:
    bool build();
    bool ip(const QStringList& options, const QStringList& batch);
    void tearDown();

    LabNamespaces namespaces_{"sdt"};
    QString error_;
    int unansweredUsed_ = 0;
};

}  // namespace sondrel::lab
