#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <functional>

namespace sondrel::lab {

// What the lab builders share to make, enter and remove Linux network namespaces. Needs root
// and `ip netns`.

// The namespaces of one lab, named "<kind><pid>_<n><role>" so that labs of parallel test
// processes never meet: made together, deleted together (at the latest when this goes).
class LabNamespaces {
  public:
    explicit LabNamespaces(const char* kind);
    ~LabNamespaces() { remove(); }
    LabNamespaces(const LabNamespaces&) = delete;
    LabNamespaces& operator=(const LabNamespaces&) = delete;

    QString name(const char* role) const { return prefix_ + QLatin1String(role); }
    // Makes the namespaces; on failure `error` says why, and remove() still deletes any made.
    bool make(const QStringList& names, QString& error);
    bool made() const { return !made_.isEmpty(); }
    void remove();

  private:
    QString prefix_;
    QStringList made_;
};

// Where `ip netns` keeps a namespace, and the folder whose files `ip netns exec` shows the
// namespace's programs in place of those in /etc.
QString netnsPath(const QString& name);
QString etcNetnsFolder(const QString& name);

bool writeText(const QString& path, const QByteArray& text);

// Deletes the namespaces and their /etc/netns folders (and /etc/netns itself once empty).
void deleteNamespaces(const QStringList& names);
// Deletes the namespaces matching `labName`, whose first capture is the id of the process
// that made them, where that process has gone.
void removeStaleNamespaces(const QRegularExpression& labName);

// Runs one `ip` with the given options over a batch of commands. On failure `error` gets
// what went wrong and the result is false; `error` is left alone otherwise.
bool ipBatch(const QStringList& options, const QStringList& batch, QString& error);

// Writes the client's hosts file, a resolv.conf that points at 127.0.0.1 (where nobody
// listens) and an nsswitch.conf of only files and DNS, so that no name query leaves the lab.
bool writeClientFiles(const QString& name, const QByteArray& hosts);

// Moves the calling thread into the namespace.
bool joinNamespace(const QString& name);
// Runs `work` on a thread of its own that has joined the namespace; false when the namespace
// cannot be joined or `work` says so.
bool onThreadIn(const QString& name, const std::function<bool()>& work);

// Writes or reads a sysctl ("net.ipv4.ip_default_ttl") of the namespace. A key the namespace
// does not have (an interface of another one) cannot be written; reading it gives "".
bool writeSysctl(const QString& name, const QString& key, const QString& value);
QString readSysctl(const QString& name, const QString& key);

}  // namespace sondrel::lab
