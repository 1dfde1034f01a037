#include "lab/tracert_lab.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include "lab/lab_network.h"
#include "lab/netns_tools.h"

namespace sondrel::lab {

namespace {

const QRegularExpression LabName(QStringLiteral("^sdt(\\d+)_\\d+[cgrfh]$"));

constexpr TracertLab::Node AllNodes[] = {TracertLab::Node::Client, TracertLab::Node::Gate,
                                         TracertLab::Node::Core, TracertLab::Node::Far,
                                         TracertLab::Node::Hidden};

const char* roleLetter(TracertLab::Node node) {
    switch (node) {
        case TracertLab::Node::Client:
            return "c";
        case TracertLab::Node::Gate:
            return "g";
        case TracertLab::Node::Core:
            return "r";
        case TracertLab::Node::Far:
            return "f";
        case TracertLab::Node::Hidden:
            return "h";
    }
    return "?";
}

}  // namespace

TracertLab::TracertLab() {
    if (!LabNetwork::available()) {
        error_ = QString::fromLatin1(LabNetwork::SkipReason);
        return;
    }
    removeStaleNamespaces(LabName);
    if (!build())
        tearDown();
}

TracertLab::~TracertLab() {
    tearDown();
}

QString TracertLab::name(Node node) const {
    return namespaces_.name(roleLetter(node));
}

bool TracertLab::build() {
    const QString c = name(Node::Client), g = name(Node::Gate), r = name(Node::Core);
    const QString f = name(Node::Far), h = name(Node::Hidden);
    if (!namespaces_.make({c, g, r, f, h}, error_))
        return false;
    const bool linked =
        ip({QStringLiteral("-n"), c},
           {"link set lo up", "link add c0 type veth peer name g1 netns " + g,
            "addr add 10.203.1.2/24 dev c0", "link set c0 up",
            "route add default via 10.203.1.1"}) &&
        ip({QStringLiteral("-n"), g},
           {"link set lo up", "link add g2 type veth peer name r1 netns " + r,
            "addr add 10.203.1.1/24 dev g1", "addr add 10.203.2.1/24 dev g2", "link set g1 up",
            "link set g2 up", "route add 10.203.3.0/24 via 10.203.2.2",
            "route add 10.203.8.0/24 via 10.203.2.2", "route add 10.203.9.0/24 via 10.203.2.2"}) &&
        ip({QStringLiteral("-n"), r},
           {"link set lo up", "link add r3 type veth peer name f0 netns " + f,
            "link add r4 type veth peer name h0 netns " + h, "addr add 10.203.2.2/24 dev r1",
            "addr add 10.203.3.1/24 dev r3", "addr add 10.203.4.1/24 dev r4", "link set r1 up",
            "link set r3 up", "link set r4 up", "route add 10.203.1.0/24 via 10.203.2.1",
            "route add 10.203.8.0/24 via 10.203.3.10"}) &&
        ip({QStringLiteral("-n"), f},
           {"link set lo up", "addr add 10.203.3.10/24 dev f0", "link set f0 up",
            "route add default via 10.203.3.1", "route add blackhole 10.203.8.0/24"}) &&
        ip({QStringLiteral("-n"), h}, {"link set lo up", "addr add 10.203.4.10/24 dev h0",
                                       "link set h0 up", "route add default via 10.203.4.1"});
    if (!linked)
        return false;
    const QStringList interfaces = {"all", "default", "lo", "c0", "g1", "g2",
                                    "r1",  "r3",      "r4", "f0", "h0"};
    bool set = setSysctl(Node::Gate, "net.ipv4.ip_forward", "1") &&
               setSysctl(Node::Core, "net.ipv4.ip_forward", "1") &&
               setSysctl(Node::Far, "net.ipv4.ip_forward", "1") &&
               setSysctl(Node::Core, "net.ipv4.neigh.r3.retrans_time_ms", "100");
    for (Node node : AllNodes) {
        set = set && setSysctl(node, "net.ipv4.icmp_ratelimit", "0") &&
              setSysctl(node, "net.ipv4.icmp_ratemask", "0");
        // Namespaces start with the machine's own values: set what the paths rely on. Each
        // node has only some of the interfaces; the others are simply not there.
        for (const QString& interface : interfaces) {
            const QString conf = QStringLiteral("net.ipv4.conf.") + interface;
            setSysctl(node, conf + ".accept_source_route", "1");
            setSysctl(node, conf + ".rp_filter", "0");
        }
    }
    if (!set) {
        error_ = QStringLiteral("could not set the lab's sysctls");
        return false;
    }
    const bool written =
        writeClientFiles(c,
                         "127.0.0.1 localhost\n10.203.1.1 gate\n10.203.2.2 core\n10.203.3.10 far\n"
                         "10.203.4.10 hidden\n");
    if (!written)
        error_ = QStringLiteral("could not write ") + etcNetnsFolder(c);
    return written;
}

bool TracertLab::ip(const QStringList& options, const QStringList& batch) {
    return ipBatch(options, batch, error_);
}

void TracertLab::tearDown() {
    namespaces_.remove();
}

// A missing key (an interface of another node) is false.
bool TracertLab::setSysctl(Node node, const QString& key, const QString& value) {
    return writeSysctl(name(node), key, value);
}

TracertLab::Result TracertLab::runInClient(const QStringList& command, int timeoutMs) const {
    Result result;
    if (command.isEmpty())
        return result;
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(
        QStringLiteral("ip"),
        QStringList{QStringLiteral("netns"), QStringLiteral("exec"), name(Node::Client)} + command);
    if (!process.waitForStarted(10000))
        return result;
    process.closeWriteChannel();
    QByteArray pending;
    auto takeLines = [&] {
        const QByteArray chunk = process.readAllStandardOutput();
        result.out += chunk;
        pending += chunk;
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            result.lines.append({QString::fromUtf8(pending.left(end)), clock.elapsed()});
    };
    while (process.state() != QProcess::NotRunning && clock.elapsed() < timeoutMs) {
        process.waitForReadyRead(20);
        takeLines();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    } else {
        result.finished = process.exitStatus() == QProcess::NormalExit;
        result.exitCode = result.finished ? process.exitCode() : -1;
    }
    takeLines();
    result.elapsedMs = clock.elapsed();
    if (!pending.isEmpty())
        result.lines.append({QString::fromUtf8(pending), result.elapsedMs});
    result.err = process.readAllStandardError();
    return result;
}

}  // namespace sondrel::lab
