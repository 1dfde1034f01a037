#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace sondrel {

// The receive buffer of a report: text and zero byte together.
inline constexpr int ScanReportBufferBytes = 255;
inline constexpr qint32 ScanReportKind = 3;
// Tells the workers the folder of the report socket (the worker reads the same name).
inline const QString ScanReportDirectoryVariable = QStringLiteral("SONDREL_SCAN_REPORT_DIR");

// The socket file of `endpoint` (the window's process id) in `directory`; the worker builds
// the same path.
QString ScanReportSocketPath(const QString& directory, const QString& endpoint);

// The text of one report datagram (kind, byte count, text with its zero byte): nothing unless
// the kind is 3; at most the buffer's 255 bytes are taken and the text ends at its first zero
// byte. A character cut by the buffer's end is dropped, never garbled.
std::optional<QString> DecodeScanReport(const QByteArray& datagram);

// The folder of the report socket: $XDG_RUNTIME_DIR/sondrel, else a private folder under the
// data folder; created for the user alone.
QString ScanReportDirectory(const QString& dataFolder);

// The window's endpoint for the workers' reports: a Unix-domain datagram socket
// "scan-<pid>.sock" in the report folder, open from the window's load to its unload. Datagrams
// from other users are refused by their credentials.
class ScanReportSocket : public QObject {
    Q_OBJECT
  public:
    ScanReportSocket();
    ~ScanReportSocket() override;

    // Opens the socket in `directory` under `endpoint`. False, with `error`, when it fails.
    bool open(const QString& directory, const QString& endpoint, QString* error);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    QString path() const { return path_; }
    int refusedCount() const { return refused_; }

  Q_SIGNALS:
    // The text of a report of kind 3.
    void reportReceived(const QString& text);

  private:
    void readAll();

    int fd_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> notifier_;
    int refused_ = 0;
};

}  // namespace sondrel
