#pragma once

#include <QObject>
#include <QThreadPool>

#include "common/resolver.h"

namespace sondrel {

// Name resolution through the system resolver (getaddrinfo, so /etc/hosts and DNS as the
// machine is set up) and the local address from the interface list.
class SystemResolver final : public Resolver {
  public:
    static constexpr int MaxParallel = 16;

    SystemResolver();
    // Waits for look-ups still running; their `done` is then never called.
    ~SystemResolver() override;

    QString hostNameToAddress(const QString& name) override;
    // First interface that is up, not loopback and has an IPv4 address, in the system's order.
    QString localHostAddress() override;
    // Resolves the names on up to MaxParallel worker threads; `done` runs later on the thread
    // that called, from its event loop, with every distinct name in the result.
    void resolveMany(const QStringList& names, std::function<void(Resolved)> done) override;

  private:
    QObject owner_;  // parent of the per-call delivery objects; declared before the pool
    QThreadPool pool_;
};

}  // namespace sondrel
