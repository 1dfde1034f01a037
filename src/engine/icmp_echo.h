#pragma once

#include <QString>
#include <QTimer>
#include <QtGlobal>
#include <ctime>
#include <memory>
#include <vector>

#include "engine/echo.h"

class QSocketNotifier;

namespace sondrel {

// The echo layer on Linux: ICMP echo requests through a datagram ICMP socket (allowed when
// net.ipv4.ping_group_range covers the user's group) or a raw ICMP socket (root or
// CAP_NET_RAW). One socket serves every probe between open() and close(); replies and ICMP
// errors arrive through a socket notifier, time-outs through one timer, so send() never
// blocks. Many probes may be in flight; each is matched by identifier, sequence and address.
//
// `done` runs exactly once per probe from the event loop, never inside send(). close() ends
// the probes still in flight with 11010 (delivered from the event loop); destroying the
// object drops them silently. Do not destroy the object from inside `done`.
class IcmpEcho final : public EchoTransport {
  public:
    enum class SocketKind { Auto, Datagram, Raw };

    // Auto tries the datagram socket first and falls back to the raw one.
    explicit IcmpEcho(SocketKind kind = SocketKind::Auto);
    ~IcmpEcho() override;
    IcmpEcho(const IcmpEcho&) = delete;
    IcmpEcho& operator=(const IcmpEcho&) = delete;

    QString open() override;
    void close() override;
    void send(const EchoRequest& request, Done done) override;

    // Datagram or Raw while open, Auto while closed.
    SocketKind openKind() const { return openKind_; }
    // Identifier carried by this object's echo requests (the bound port on a datagram socket).
    quint16 identifier() const { return ident_; }
    int inFlight() const { return int(probes_.size() - freeSlots_.size()); }

    // The one message shown when no ICMP socket can be opened; names the binary to setcap.
    static QString noPrivilegeMessage(SocketKind kind, int datagramErrno, int rawErrno);

  private:
    struct Probe {
        Done done;
        timespec sentAt{};    // CLOCK_REALTIME, taken right before sendto
        quint32 address = 0;  // host byte order
        qint32 timeoutMs = 0;
        quint32 generation = 0;
        quint16 sequence = 0;
        bool active = false;
    };
    struct Deadline {
        qint64 at;  // CLOCK_MONOTONIC nanoseconds
        int slot;
        quint32 generation;
        bool operator<(const Deadline& o) const { return at > o.at; }  // min-heap
    };
    struct Received;

    int openSocket(SocketKind kind);
    int allocateProbe(quint32 address, int timeoutMs, Done& done);
    void release(int slot);
    bool transmit(Probe& probe, int payloadSize, int ttl, int* error);
    void failLater(quint32 address, qint32 status, Done done);
    void deliverDeferred();
    void complete(int slot, const EchoReply& reply);
    void answer(int slot, EchoReply reply, const timespec& at);
    int findProbe(quint16 sequence, quint32 address) const;

    void readPending();
    bool readOne();
    bool readErrorQueue();
    void handleDatagram(const Received& in);
    void handleRaw(const Received& in);

    void armTimer();
    void expire();

    SocketKind wanted_;
    SocketKind openKind_ = SocketKind::Auto;
    int fd_ = -1;
    quint16 ident_ = 0;
    quint16 nextSequence_ = 0;
    quint64 epoch_ = 0;  // changes on open and close, so handlers notice what `done` did
    bool dispatching_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer timeoutTimer_;
    qint64 timerAt_ = 0;
    QTimer deferTimer_;

    std::vector<Probe> probes_;
    std::vector<int> freeSlots_;
    std::vector<qint32> slotBySequence_;  // 65536 entries, -1 when the sequence is free
    std::vector<Deadline> deadlines_;     // heap, stale entries dropped lazily
    std::vector<std::pair<Done, EchoReply>> deferred_;

    std::vector<quint8> packet_;   // outgoing header + payload of 0x20 bytes
    std::vector<quint8> receive_;  // one incoming packet
};

// Maps an ICMP error (type, code) to its echo status code (see net::IcmpErrorStatus).
qint32 IcmpErrorStatus(int type, int code);

}  // namespace sondrel
