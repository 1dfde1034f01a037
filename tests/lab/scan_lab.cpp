#include "lab/scan_lab.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include "lab/netns_tools.h"

namespace sondrel::lab {

namespace {

const QRegularExpression LabName(QStringLiteral("^sds(\\d+)_\\d+[capgd]$"));

struct Host {
    ScanLab::Node node;
    const char* letter;
    const char* address;
};
const Host Hosts[] = {{ScanLab::Node::Alpha, "a", ScanLab::AlphaAddress},
                      {ScanLab::Node::Plain, "p", ScanLab::PlainAddress},
                      {ScanLab::Node::Gamma, "g", ScanLab::GammaAddress},
                      {ScanLab::Node::Deaf, "d", ScanLab::DeafAddress}};

// Answers node-status queries on UDP port 137 until `stop` is set.
void ServeNodeStatus(int fd, const std::atomic<bool>& stop) {
    const std::array<std::uint8_t, 6> mac = {0x02, 0x5C, 0xA1, 0x00, 0x00, 0x0A};
    while (!stop) {
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0)
            continue;
        char buffer[600];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t got =
            ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (got <= 0)
            continue;
        const QByteArray answer = NodeStatusAnswer(QByteArray(buffer, int(got)), "ALPHA", mac);
        if (!answer.isEmpty())
            ::sendto(fd, answer.constData(), size_t(answer.size()), 0,
                     reinterpret_cast<const sockaddr*>(&from), length);
    }
}

}  // namespace

QByteArray NodeStatusAnswer(const QByteArray& request, const QByteArray& name,
                            const std::array<std::uint8_t, 6>& mac) {
    // Header, the 34-byte encoded name, type 0x21 and class 1.
    if (request.size() < 12 + 34 + 4 || (request[2] & 0x80) != 0 || request[12 + 34 + 1] != 0x21)
        return {};
    QByteArray answer = request.left(2);
    answer += QByteArray("\x84\x00\x00\x00\x00\x01\x00\x00\x00\x00", 10);
    answer += request.mid(12, 34);
    answer += QByteArray("\x00\x21\x00\x01\x00\x00\x00\x00", 8);
    QByteArray data(1, '\x01');
    data += name.leftJustified(15, ' ', true) + QByteArray("\x00\x04\x00", 3);
    data += QByteArray(reinterpret_cast<const char*>(mac.data()), 6);
    data += QByteArray(40, '\0');  // statistics
    answer += char(data.size() >> 8);
    answer += char(data.size() & 0xFF);
    return answer + data;
}

ScanLab::ScanLab() {
    removeStaleNamespaces(LabName);
    if (!build()) {
        if (error_.isEmpty())
            error_ = QStringLiteral("could not build the scan lab");
        tearDown();
        return;
    }
    startNetBiosResponder();
}

ScanLab::~ScanLab() {
    tearDown();
}

QString ScanLab::name(Node node) const {
    static const char* letters[] = {"c", "a", "p", "g", "d"};
    return namespaces_.name(letters[int(node)]);
}

bool ScanLab::build() {
    QStringList names{name(Node::Client)};
    for (const Host& h : Hosts)
        names << name(h.node);
    if (!namespaces_.make(names, error_))
        return false;
    QStringList client{"link set lo up", "link add br0 type bridge",
                       "addr add " + QString::fromLatin1(ClientAddress) + "/24 dev br0",
                       "link set br0 up"};
    for (int i = 0; i < 4; ++i) {
        const QString port = QStringLiteral("v%1").arg(i);
        client << "link add " + port + " type veth peer name e0 netns " + name(Hosts[i].node)
               << "link set " + port + " master br0"
               << "link set " + port + " up";
    }
    if (!ip({"-n", name(Node::Client)}, client))
        return false;
    for (const Host& h : Hosts) {
        if (!ip({"-n", name(h.node)},
                {"link set lo up", "addr add " + QString::fromLatin1(h.address) + "/24 dev e0",
                 "link set e0 up"}))
            return false;
    }
    if (!setSysctl(Node::Deaf, "net.ipv4.icmp_echo_ignore_all", "1") ||
        !setSysctl(Node::Client, "net.ipv4.ping_group_range", "0 2147483647"))
        return false;
    return writeClientFiles(name(Node::Client),
                            "127.0.0.1 localhost\n10.204.1.10 alpha\n10.204.1.12 gamma\n");
}

bool ScanLab::ip(const QStringList& options, const QStringList& batch) {
    return ipBatch(options, batch, error_);
}

// The responder lives on a thread of its own inside alpha's namespace.
void ScanLab::startNetBiosResponder() {
    const QString alpha = name(Node::Alpha);
    std::atomic<int> ready{0};
    responder_ = std::thread([this, alpha, &ready] {
        const bool entered = joinNamespace(alpha);
        const int fd = entered ? ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0) : -1;
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(137);
        const bool bound =
            fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at) == 0;
        ready = bound ? 1 : -1;
        if (bound)
            ServeNodeStatus(fd, stop_);
        if (fd >= 0)
            ::close(fd);
    });
    while (ready == 0)
        ::usleep(1000);
    if (ready < 0)
        error_ = QStringLiteral("the node-status responder could not start");
}

QString ScanLab::interfaceMac(Node node) const {
    QProcess ip;
    ip.start(QStringLiteral("ip"),
             {"-n", name(node), "-br", "link", "show", node == Node::Client ? "br0" : "e0"});
    ip.waitForFinished(5000);
    const QString text = QString::fromLatin1(ip.readAllStandardOutput());
    static const QRegularExpression mac(QStringLiteral("([0-9a-f]{2}(:[0-9a-f]{2}){5})"));
    return mac.match(text).captured(1).toUpper().replace(':', '-');
}

bool ScanLab::setSysctl(Node node, const QString& key, const QString& value) {
    return writeSysctl(name(node), key, value);
}

void ScanLab::flushNeighbours() {
    ip({"-n", name(Node::Client)}, {"neigh flush all"});
}

ScanLab::Result ScanLab::run(Node node, const QString& program, const QStringList& arguments,
                             const QProcessEnvironment& environment, int timeoutMs) const {
    Result result;
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("ip"),
                  QStringList{"netns", "exec", name(node), program} + arguments);
    if (!process.waitForStarted(5000))
        return result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
    } else {
        result.finished = process.exitStatus() == QProcess::NormalExit;
        result.exitCode = process.exitCode();
    }
    result.elapsedMs = clock.elapsed();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void ScanLab::tearDown() {
    stop_ = true;
    if (responder_.joinable())
        responder_.join();
    namespaces_.remove();
}

}  // namespace sondrel::lab
