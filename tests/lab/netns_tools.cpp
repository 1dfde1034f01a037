#include "lab/netns_tools.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <atomic>
#include <cerrno>
#include <thread>

namespace sondrel::lab {

namespace {

const QString NetnsFolder = QStringLiteral("/run/netns");
const QString EtcNetns = QStringLiteral("/etc/netns");

// Under /proc/sys: that file belongs to the namespace of whoever opens it.
QString sysctlPath(const QString& key) {
    return QStringLiteral("/proc/sys/") + QString(key).replace(QLatin1Char('.'), QLatin1Char('/'));
}

}  // namespace

LabNamespaces::LabNamespaces(const char* kind) {
    static std::atomic<int> labs{0};
    prefix_ = QStringLiteral("%1%2_%3").arg(QLatin1String(kind)).arg(getpid()).arg(labs++);
}

bool LabNamespaces::make(const QStringList& names, QString& error) {
    made_ += names;
    QStringList add;
    for (const QString& name : names)
        add << QStringLiteral("netns add ") + name;
    return ipBatch({}, add, error);
}

void LabNamespaces::remove() {
    if (!made_.isEmpty())
        deleteNamespaces(made_);
    made_.clear();
}

QString netnsPath(const QString& name) {
    return NetnsFolder + QLatin1Char('/') + name;
}

QString etcNetnsFolder(const QString& name) {
    return EtcNetns + QLatin1Char('/') + name;
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

void deleteNamespaces(const QStringList& names) {
    QStringList batch;
    for (const QString& name : names) {
        batch << QStringLiteral("netns del ") + name;
        QDir(etcNetnsFolder(name)).removeRecursively();
    }
    QProcess ip;
    ip.start(QStringLiteral("ip"),
             {QStringLiteral("-force"), QStringLiteral("-batch"), QStringLiteral("-")});
    ip.write(batch.join(QLatin1Char('\n')).toUtf8() + '\n');
    ip.closeWriteChannel();
    ip.waitForFinished(10000);
    QDir().rmdir(EtcNetns);  // only when no other lab (or anything else) uses it
}

void removeStaleNamespaces(const QRegularExpression& labName) {
    QStringList stale;
    const QStringList names = QDir(NetnsFolder).entryList(QDir::Files | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = labName.match(name);
        if (match.hasMatch() && ::kill(pid_t(match.captured(1).toInt()), 0) != 0 && errno == ESRCH)
            stale << name;
    }
    if (!stale.isEmpty())
        deleteNamespaces(stale);
}

bool ipBatch(const QStringList& options, const QStringList& batch, QString& error) {
    QProcess process;
    process.start(QStringLiteral("ip"),
                  options + QStringList{QStringLiteral("-batch"), QStringLiteral("-")});
    process.write(batch.join(QLatin1Char('\n')).toUtf8() + '\n');
    process.closeWriteChannel();
    if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    error = QStringLiteral("ip %1 failed: %2")
                .arg(options.join(QLatin1Char(' ')),
                     QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
    return false;
}

bool writeClientFiles(const QString& name, const QByteArray& hosts) {
    const QString folder = etcNetnsFolder(name);
    return QDir().mkpath(folder) && writeText(folder + QStringLiteral("/hosts"), hosts) &&
           writeText(folder + QStringLiteral("/resolv.conf"), "nameserver 127.0.0.1\n") &&
           // No resolver daemon that would ask from outside the lab.
           writeText(folder + QStringLiteral("/nsswitch.conf"),
                     "passwd: files\ngroup: files\nshadow: files\nhosts: files dns\n");
}

bool joinNamespace(const QString& name) {
    const int fd = ::open(QFile::encodeName(netnsPath(name)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool joined = ::setns(fd, CLONE_NEWNET) == 0;
    ::close(fd);
    return joined;
}

bool onThreadIn(const QString& name, const std::function<bool()>& work) {
    bool ok = false;
    std::thread([&] { ok = joinNamespace(name) && work(); }).join();
    return ok;
}

bool writeSysctl(const QString& name, const QString& key, const QString& value) {
    const QString path = sysctlPath(key);
    return onThreadIn(name, [&] { return writeText(path, value.toLatin1()); });
}

QString readSysctl(const QString& name, const QString& key) {
    QString value;
    const QString path = sysctlPath(key);
    onThreadIn(name, [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        value = QString::fromLatin1(file.readAll()).simplified();
        return true;
    });
    return value;
}

}  // namespace sondrel::lab
