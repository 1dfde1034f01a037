#include "lab/lab_network.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <atomic>
#include <cerrno>
#include <functional>
#include <thread>

namespace sondrel::lab {

namespace {

const QString NetnsFolder = QStringLiteral("/run/netns");
const QString EtcNetns = QStringLiteral("/etc/netns");

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

// Runs `work` on a thread of its own that has joined the named namespace; false when the
// namespace cannot be joined or `work` says so.
bool onThreadIn(const QString& name, const std::function<bool()>& work) {
    bool ok = false;
    std::thread([&] {
        const int fd = ::open(QFile::encodeName(NetnsFolder + QLatin1Char('/') + name).constData(),
                              O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        if (::setns(fd, CLONE_NEWNET) == 0)
            ok = work();
        ::close(fd);
    }).join();
    return ok;
}

QString sysctlPath(const QString& key) {
    return QStringLiteral("/proc/sys/") + QString(key).replace(QLatin1Char('.'), QLatin1Char('/'));
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

void deleteNamespaces(const QStringList& names) {
    QStringList batch;
    for (const QString& name : names) {
        batch << QStringLiteral("netns del ") + name;
        QDir(EtcNetns + QLatin1Char('/') + name).removeRecursively();
    }
    QProcess ip;
    ip.start(QStringLiteral("ip"),
             {QStringLiteral("-force"), QStringLiteral("-batch"), QStringLiteral("-")});
    ip.write(batch.join(QLatin1Char('\n')).toUtf8() + '\n');
    ip.closeWriteChannel();
    ip.waitForFinished(10000);
    QDir().rmdir(EtcNetns);  // only when no other lab (or anything else) uses it
}

}  // namespace

bool LabNetwork::available() {
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty())
        return false;
    bool works = false;
    std::thread([&works] { works = ::unshare(CLONE_NEWNET) == 0; }).join();
    return works;
}

void LabNetwork::removeStale() {
    QStringList stale;
    const QStringList names = QDir(NetnsFolder).entryList(QDir::Files | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = LabName.match(name);
        if (!match.hasMatch())
            continue;
        const pid_t pid = match.captured(1).toInt();
        if (::kill(pid, 0) != 0 && errno == ESRCH)
            stale << name;
    }
    if (!stale.isEmpty())
        deleteNamespaces(stale);
}

LabNetwork::LabNetwork() {
    static std::atomic<int> made{0};
    prefix_ = QStringLiteral("sdl%1_%2").arg(getpid()).arg(made++);
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
    return prefix_ + QLatin1String(roleLetter(node));
}

bool LabNetwork::build() {
    const QString c = name(Node::Client), r = name(Node::Router);
    const QString a = name(Node::HostA), b = name(Node::HostB);
    built_ = true;
    QStringList add;
    for (Node node : AllNodes)
        add << QStringLiteral("netns add ") + name(node);
    if (!ip({}, add))
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

// Runs one `ip` with the given options over a batch of commands.
bool LabNetwork::ip(const QStringList& options, const QStringList& batch) {
    QProcess process;
    process.start(QStringLiteral("ip"),
                  options + QStringList{QStringLiteral("-batch"), QStringLiteral("-")});
    process.write(batch.join(QLatin1Char('\n')).toUtf8() + '\n');
    process.closeWriteChannel();
    if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    error_ = QStringLiteral("ip %1 failed: %2")
                 .arg(options.join(QLatin1Char(' ')),
                      QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
    return false;
}

// What `ip netns exec` shows the client's programs instead of the machine's own files.
bool LabNetwork::writeClientFiles() {
    const QString folder = EtcNetns + QLatin1Char('/') + name(Node::Client);
    const bool ok = QDir().mkpath(folder) &&
                    writeText(folder + QStringLiteral("/hosts"),
                              "127.0.0.1 localhost\n10.201.1.1 router\n10.201.2.10 hosta\n"
                              "10.201.3.10 hostb\n10.201.3.10 twohomes\n10.201.2.10 twohomes\n") &&
                    writeText(folder + QStringLiteral("/resolv.conf"), "nameserver 127.0.0.1\n") &&
                    // Only files and DNS: no resolver daemon that would ask from outside the lab.
                    writeText(folder + QStringLiteral("/nsswitch.conf"),
                              "passwd: files\ngroup: files\nshadow: files\nhosts: files dns\n");
    if (!ok)
        error_ = QStringLiteral("could not write ") + folder;
    return ok;
}

void LabNetwork::tearDown() {
    leave();
    if (!built_)
        return;
    built_ = false;
    QStringList names;
    for (Node node : AllNodes)
        names << name(node);
    deleteNamespaces(names);
}

bool LabNetwork::enter(Node node) {
    if (!built_)
        return false;
    const int fd =
        ::open(QFile::encodeName(NetnsFolder + QLatin1Char('/') + name(node)).constData(),
               O_RDONLY | O_CLOEXEC);
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
    const QString path = sysctlPath(key);
    return onThreadIn(name(node), [&] { return writeText(path, value.toLatin1()); });
}

QString LabNetwork::sysctl(Node node, const QString& key) const {
    QString value;
    const QString path = sysctlPath(key);
    onThreadIn(name(node), [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        value = QString::fromLatin1(file.readAll()).simplified();
        return true;
    });
    return value;
}

}  // namespace sondrel::lab
