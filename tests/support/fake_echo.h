#pragma once

#include <QHash>
#include <QList>
#include <QStringList>

#include "common/resolver.h"
#include "engine/echo.h"
#include "support/fake_clock.h"

namespace sondrel::testing {

// Scripted echo: every address answers with the reply set for it (default: success after
// `defaultRtt` ms, TTL 64), delivered through the fake clock. Time-outs take the time-out.
class FakeEcho final : public EchoTransport {
  public:
    struct Sent {
        quint32 address;
        int size;
        int timeout;
        qint64 at;
    };
    explicit FakeEcho(FakeClock& clock) : clock_(clock) {}

    QString open() override {
        ++opened;
        return openError;
    }
    void close() override { ++closed; }
    void send(const EchoRequest& request, Done done) override;

    // The reply of one address from now on; a status of 11010 waits for the time-out.
    void setReply(const QString& address, qint32 status, quint32 rtt = 0, quint8 ttl = 64);
    // Replies used in order, one per probe, before the per-address ones.
    QList<EchoReply> script;

    QList<Sent> sent;
    QStringList sentAddresses() const;
    int inFlight = 0;
    int opened = 0;
    int closed = 0;
    QString openError;
    quint32 defaultRtt = 0;

  private:
    FakeClock& clock_;
    QHash<quint32, EchoReply> replies_;
};

// Names resolve from a table; unknown names do not resolve.
class FakeResolver final : public Resolver {
  public:
    QString hostNameToAddress(const QString& name) override;
    QString localHostAddress() override { return local; }
    QHash<QString, QString> names;
    QString local = QStringLiteral("192.168.0.10");
    QStringList asked;
};

}  // namespace sondrel::testing
