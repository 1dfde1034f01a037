#include "lab/lab_network.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <thread>

#include "lab/netns_tools.h"

namespace sondrel::lab {

namespace {

// Names of this program's labs: "sdl<pid>_<n><role>".
const QRegularExpression LabName(QStringLiteral("^sdl(\\d+)_\\d+[crab]$"));

const char* roleLetter(LabNetwork::Node node) {
    switch (node) {
        case LabNetwork::Node::Client:
            return "c";
        case LabNetwork::Node::Router:
            return "r";
        case LabNetwork::Node::HostA:
            return "a";
        case LabNetwork::Node::HostB:
            return "b";
    }
    return "?";
}

constexpr LabNetwork::Node AllNodes[] = {LabNetwork::Node::Client, LabNetwork::Node::Router,
                                         LabNetwork::Node::HostA, LabNetwork::Node::HostB};

}  // namespace

bool LabNetwork::available() {
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty())
        return false;
    bool works = false;
    std::thread([&works] { works = ::unshare(CLONE_NEWNET) == 0; }).join();
    return works;
}

void LabNetwork::removeStale() {
    removeStaleNamespaces(LabName);
}

LabNetwork::LabNetwork() {
    if (!available()) {
        error_ = QString::fromLatin1(SkipReason);
        return;
    }
    removeStale();
    if (!build())
        tearDown();
}

LabNetwork::~LabNetwork() {
    tearDown();
}

QString LabNetwork::name(Node node) const {
    return namespaces_.name(roleLetter(node));
}

bool LabNetwork::build() {
    const QString c = name(Node::Client), r = name(Node::Router);
    const QString a = name(Node::HostA), b = name(Node::HostB);
    if (!namespaces_.make({c, r, a, b}, error_))
        return false;
    const bool linked =
        ip({QStringLiteral("-n"), c},
           {"link set lo up", "link add c0 type veth peer name r1 netns " + r,
            "addr add 10.201.1.2/24 dev c0", "link set c0 up",
            "route add default via 10.201.1.1"}) &&
        ip({QStringLiteral("-n"), r},
           {"link set lo up", "link add r2 type veth peer name a0 netns " + a,
            "link add r3 type veth peer name b0 netns " + b, "addr add 10.201.1.1/24 dev r1",
            "addr add 10.201.2.1/24 dev r2", "addr add 10.201.3.1/24 dev r3", "link set r1 up",
            "link set r2 up", "link set r3 up"}) &&
        ip({QStringLiteral("-n"), a}, {"link set lo up", "addr add 10.201.2.10/24 dev a0",
                                       "link set a0 up", "route add default via 10.201.2.1"}) &&
        ip({QStringLiteral("-n"), b}, {"link set lo up", "addr add 10.201.3.10/24 dev b0",
                                       "link set b0 up", "route add default via 10.201.3.1"});
    if (!linked)
        return false;
    bool set = setSysctl(Node::Router, QStringLiteral("net.ipv4.ip_forward"), QStringLiteral("1"));
    for (Node node : AllNodes) {
        set = set &&
              setSysctl(node, QStringLiteral("net.ipv4.icmp_ratelimit"), QStringLiteral("0")) &&
              setSysctl(node, QStringLiteral("net.ipv4.icmp_ratemask"), QStringLiteral("0"));
    }
    set =
        set &&
        setSysctl(Node::HostB, QStringLiteral("net.ipv4.ip_default_ttl"), QStringLiteral("128")) &&
        setSysctl(Node::Client, QStringLiteral("net.ipv4.ping_group_range"),
                  QStringLiteral("0 2147483647")) &&
        // Address resolution for the silent address gives up after 3 x 300 ms, not 3 s.
        setSysctl(Node::Router, QStringLiteral("net.ipv4.neigh.r2.retrans_time_ms"),
                  QStringLiteral("300"));
    if (!set) {
        error_ = QStringLiteral("could not set the lab's sysctls");
        return false;
    }
    return writeClientFiles();
}

bool LabNetwork::ip(const QStringList& options, const QStringList& batch) {
    return ipBatch(options, batch, error_);
}

// What `ip netns exec` shows the client's programs instead of the machine's own files.
bool LabNetwork::writeClientFiles() {
    const bool ok = sondrel::lab::writeClientFiles(
        name(Node::Client),
        "127.0.0.1 localhost\n10.201.1.1 router\n10.201.2.10 hosta\n10.201.3.10 hostb\n"
        "10.201.3.10 twohomes\n10.201.2.10 twohomes\n");
    if (!ok)
        error_ = QStringLiteral("could not write ") + etcNetnsFolder(name(Node::Client));
    return ok;
}

void LabNetwork::tearDown() {
    leave();
    namespaces_.remove();
}

bool LabNetwork::enter(Node node) {
    if (!namespaces_.made())
        return false;
    const int fd =
        ::open(QFile::encodeName(netnsPath(name(node))).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (originalNs_ < 0)
        originalNs_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const bool ok = ::setns(fd, CLONE_NEWNET) == 0;
    ::close(fd);
    return ok;
}

void LabNetwork::leave() {
    if (originalNs_ < 0)
        return;
    ::setns(originalNs_, CLONE_NEWNET);
    ::close(originalNs_);
    originalNs_ = -1;
}

LabNetwork::Result LabNetwork::run(Node node, const QString& program, const QStringList& arguments,
                                   int timeoutMs, const QProcessEnvironment& environment) const {
    Result result;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("ip"), QStringList{QStringLiteral("netns"), QStringLiteral("exec"),
                                                    name(node), program} +
                                            arguments);
    if (!process.waitForStarted(10000))
        return result;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
    } else {
        result.finished = process.exitStatus() == QProcess::NormalExit;
        result.exitCode = result.finished ? process.exitCode() : -1;
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool LabNetwork::setSysctl(Node node, const QString& key, const QString& value) {
    return writeSysctl(name(node), key, value);
}

QString LabNetwork::sysctl(Node node, const QString& key) const {
    return readSysctl(name(node), key);
}

}  // namespace sondrel::lab
