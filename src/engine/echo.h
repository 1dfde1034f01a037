#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace sondrel {

// Echo status codes reported by the echo layer (stored in the run log, so the numbers matter).
namespace EchoStatus {
constexpr qint32 Success = 0;
constexpr qint32 InvalidAddress = -1;  // the address text is not a dotted address: nothing sent
constexpr qint32 NetUnreachable = 11002;
constexpr qint32 HostUnreachable = 11003;
constexpr qint32 ProtocolUnreachable = 11004;
constexpr qint32 PortUnreachable = 11005;
constexpr qint32 NoResources = 11006;
constexpr qint32 PacketTooBig = 11009;
constexpr qint32 TimedOut = 11010;
constexpr qint32 TtlExpiredTransit = 11013;
constexpr qint32 TtlExpiredReassembly = 11014;
constexpr qint32 ParameterProblem = 11015;
constexpr qint32 SourceQuench = 11016;
constexpr qint32 GeneralFailure = 11050;
}  // namespace EchoStatus

// Largest payload of one probe: the reply record keeps the size in 16 bits.
constexpr int MaxProbeSize = 32000;

// What one probe brought back. Only status, round-trip time and TTL are read by the engine.
struct EchoReply {
    quint32 address = 0;  // replying address, host byte order
    qint32 status = EchoStatus::Success;
    quint32 roundTripTime = 0;  // whole milliseconds, rounded down
    quint16 dataSize = 0;
    quint8 ttl = 0;
};

// One echo request: `payloadSize` bytes of 0x20 to `address` (host byte order), answered
// within `timeoutMs`. A `ttl` of 0 leaves the system's default.
struct EchoRequest {
    quint32 address = 0;
    int payloadSize = 32;
    int timeoutMs = 1000;
    int ttl = 0;
};

// Sends ICMP echo requests. Implementations never block the event loop: send() returns at
// once and `done` runs exactly once, later, from the event loop.
class EchoTransport {
  public:
    using Done = std::function<void(const EchoReply&)>;
    virtual ~EchoTransport() = default;

    // Prepares the transport for a test. Returns an empty text on success, otherwise a message
    // for the operator that says what is missing and how to grant it.
    virtual QString open() = 0;
    virtual void close() = 0;

    virtual void send(const EchoRequest& request, Done done) = 0;
};

// The address conversion of `inet_addr`: dotted text, short forms such as "10.1" included.
// Returns nothing for texts it refuses and for 255.255.255.255 (the all-ones "none" value).
std::optional<quint32> InetAddr(const QString& text);

// The text shown and stored for an echo status code.
QString EchoStatusText(qint32 status);

}  // namespace sondrel
