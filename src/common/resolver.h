#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace sondrel {

// Name resolution. hostNameToAddress blocks; resolveMany may run the look-ups elsewhere and
// calls `done` from the event loop (the default does them one by one, at once).
class Resolver {
  public:
    virtual ~Resolver() = default;
    // First IPv4 address of the name in dotted form; empty when it does not resolve.
    // A numeric address resolves to itself.
    virtual QString hostNameToAddress(const QString& name) = 0;
    // First IPv4 address of this machine; empty when there is none.
    virtual QString localHostAddress() = 0;

    using Resolved = QHash<QString, QString>;  // name -> address ("" when unresolved)
    virtual void resolveMany(const QStringList& names, std::function<void(Resolved)> done) {
        Resolved result;
        for (const QString& name : names)
            result.insert(name, hostNameToAddress(name));
        done(result);
    }
};

}  // namespace sondrel
