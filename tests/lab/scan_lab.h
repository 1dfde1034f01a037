#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "lab/netns_tools.h"

namespace sondrel::lab {

// One segment for address scans, built in network namespaces and always torn down:
//
//   client 10.204.1.2 on the bridge br0, with four hosts on the same segment:
//     alpha 10.204.1.10  answers, named in the client's hosts file, NetBIOS node status
//     10.204.1.11        answers, no name
//     gamma 10.204.1.12  answers, named, no NetBIOS service
//     10.204.1.13        answers address resolution but ignores echo requests
//   every other address of 10.204.1.0/24 is nobody's.
//
// The segment has no router: nothing leaves it. The client's programs see a hosts file naming
// alpha and gamma and a resolv.conf pointing at 127.0.0.1, where nobody listens.
class ScanLab {
  public:
    enum class Node { Client, Alpha, Plain, Gamma, Deaf };

    static constexpr const char* ClientAddress = "10.204.1.2";
    static constexpr const char* AlphaAddress = "10.204.1.10";
    static constexpr const char* PlainAddress = "10.204.1.11";
    static constexpr const char* GammaAddress = "10.204.1.12";
    static constexpr const char* DeafAddress = "10.204.1.13";
    // What alpha's node status gives as its adapter address (not its interface's).
    static constexpr const char* AlphaNetBiosMac = "02-5C-A1-00-00-0A";

    struct Result {
        bool finished = false;
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        qint64 elapsedMs = 0;
    };

    ScanLab();
    ~ScanLab();
    ScanLab(const ScanLab&) = delete;
    ScanLab& operator=(const ScanLab&) = delete;

    bool ok() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    QString name(Node node) const;

    // The hardware address of a node's interface on the segment, as the scan shows it.
    QString interfaceMac(Node node) const;
    bool setSysctl(Node node, const QString& key, const QString& value);
    // Empties the client's address-resolution table.
    void flushNeighbours();

    Result run(Node node, const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment, int timeoutMs = 30000) const;

  private:
    bool build();
    bool ip(const QStringList& options, const QStringList& batch);
    void startNetBiosResponder();
    void tearDown();

    LabNamespaces namespaces_{"sds"};
    QString error_;
    std::atomic<bool> stop_{false};
    std::thread responder_;
};

// A NetBIOS node-status answer to `request` naming `name` with the adapter address `mac`;
// empty when the request is no node-status query.
QByteArray NodeStatusAnswer(const QByteArray& request, const QByteArray& name,
                            const std::array<std::uint8_t, 6>& mac);

}  // namespace sondrel::lab
