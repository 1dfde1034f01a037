#include "support/fake_echo.h"

namespace sondrel::testing {

static QString dotted(quint32 a) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(a >> 24)
        .arg((a >> 16) & 255)
        .arg((a >> 8) & 255)
        .arg(a & 255);
}

void FakeEcho::send(const EchoRequest& request, Done done) {
    const quint32 address = request.address;
    const int payloadSize = request.payloadSize;
    const int timeoutMs = request.timeoutMs;
    sent.append({address, payloadSize, timeoutMs, clock_.monotonicMs()});
    EchoReply reply;
    if (!script.isEmpty()) {
        reply = script.takeFirst();
    } else {
        reply = replies_.value(address, EchoReply{address, EchoStatus::Success, defaultRtt, 0, 64});
    }
    reply.address = address;
    reply.dataSize = quint16(payloadSize);
    const qint64 delay =
        reply.status == EchoStatus::TimedOut ? timeoutMs : qint64(reply.roundTripTime);
    ++inFlight;
    clock_.schedule(delay, [this, reply, done = std::move(done)] {
        --inFlight;
        done(reply);
    });
}

void FakeEcho::setReply(const QString& address, qint32 status, quint32 rtt, quint8 ttl) {
    const quint32 a = InetAddr(address).value_or(0);
    replies_.insert(a, EchoReply{a, status, rtt, 0, ttl});
}

QStringList FakeEcho::sentAddresses() const {
    QStringList out;
    for (const Sent& s : sent)
        out << dotted(s.address);
    return out;
}

QString FakeResolver::hostNameToAddress(const QString& name) {
    asked << name;
    if (InetAddr(name) && name.count(QLatin1Char('.')) == 3)
        return name;
    return names.value(name);
}

}  // namespace sondrel::testing
