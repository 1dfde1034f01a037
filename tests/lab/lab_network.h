#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "lab/netns_tools.h"

namespace sondrel::lab {

// A small network of Linux network namespaces, built by a test and always torn down:
//
//   client 10.201.1.2 ── 10.201.1.1 router 10.201.2.1 ── 10.201.2.10 host A (TTL 64)
//                                          10.201.3.1 ── 10.201.3.10 host B (TTL 128)
//
// The client's default route leads to the router, the router forwards and knows only its
// three links, so nothing ever leaves the lab. ICMP error rate limits are off. Inside the
// client every group may open ICMP datagram sockets, and programs started with run() see the
// client's own /etc/hosts (hosta, hostb, router, twohomes) and a resolv.conf that points at
// 127.0.0.1, where nobody listens: no name query can leave the machine.
//
// Needs root and `ip netns`. Namespace names carry the process id ("sdl<pid>c", ...), so
// labs of parallel test processes never meet; leftovers of killed runs are removed first.
//
//   LabNetwork lab;                       // builds; check ok() / error()
//   lab.enterClient();                    // this thread now lives in the client
//   echo.open();                          // sockets opened here stay in the client
//   lab.leave();
//   auto r = lab.run(LabNetwork::Node::Client, "/path/to/sondrel", {"--console", "..."});
class LabNetwork {
  public:
    enum class Node { Client, Router, HostA, HostB };

    static constexpr const char* SkipReason = "needs root and network namespaces (ip netns)";
    static constexpr const char* ClientAddress = "10.201.1.2";
    static constexpr const char* RouterAddress = "10.201.1.1";  // as the client sees it
    static constexpr const char* HostAAddress = "10.201.2.10";
    static constexpr const char* HostBAddress = "10.201.3.10";
    // On host A's link, but nobody has it: the router's address resolution fails (in about
    // a second) and it answers "host unreachable".
    static constexpr const char* SilentAddress = "10.201.2.99";
    // Another address on host A's link that nobody has, new on every call (10.201.2.100 and
    // up), so that the router's state about earlier probes cannot change the outcome.
    QString freshSilentAddress() { return QStringLiteral("10.201.2.%1").arg(100 + silentUsed_++); }
    // A network the router has no route to: "net unreachable" at once.
    static constexpr const char* UnroutedAddress = "10.201.9.1";

    struct Result {
        bool finished = false;  // false: could not start, or killed after the time-out
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    // True when this process may build a lab (root, `ip` present, namespaces work).
    static bool available();
    // Removes namespaces and /etc/netns folders of labs whose process has gone.
    static void removeStale();

    LabNetwork();
    ~LabNetwork();
    LabNetwork(const LabNetwork&) = delete;
    LabNetwork& operator=(const LabNetwork&) = delete;

    bool ok() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    QString name(Node node) const;

    // Moves the calling thread into a namespace and back (one thread at a time). Sockets
    // created in between belong to that namespace for their whole life.
    bool enterClient() { return enter(Node::Client); }
    bool enter(Node node);
    void leave();

    // Runs a program inside a namespace (`ip netns exec`), waits for it, returns its exit
    // code and output. The environment defaults to this process's.
    Result run(
        Node node, const QString& program, const QStringList& arguments, int timeoutMs = 30000,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const;
    Result runInClient(const QString& program, const QStringList& arguments,
                       int timeoutMs = 30000) const {
        return run(Node::Client, program, arguments, timeoutMs);
    }

    // Reads or writes a sysctl ("net.ipv4.ip_default_ttl") of one namespace.
    bool setSysctl(Node node, const QString& key, const QString& value);
    QString sysctl(Node node, const QString& key) const;

  private:
    bool build();
    bool ip(const QStringList& options, const QStringList& batch);
    bool writeClientFiles();
    void tearDown();

    LabNamespaces namespaces_{"sdl"};
    QString error_;
    int originalNs_ = -1;
    int silentUsed_ = 0;
};

// Keeps the calling thread in one namespace of the lab (the client by default) for a scope.
class InsideLab {
  public:
    explicit InsideLab(LabNetwork& lab, LabNetwork::Node node = LabNetwork::Node::Client)
        : lab_(lab), entered_(lab.enter(node)) {}
    ~InsideLab() {
        if (entered_)
            lab_.leave();
    }
    InsideLab(const InsideLab&) = delete;
    InsideLab& operator=(const InsideLab&) = delete;
    bool entered() const { return entered_; }

  private:
    LabNetwork& lab_;
    bool entered_;
};

}  // namespace sondrel::lab
