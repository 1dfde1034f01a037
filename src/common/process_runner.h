#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace sondrel {

// How a child process ended.
struct ProcessEnd {
    enum class Status {
        Exited,         // the program returned `exitCode`
        Crashed,        // ended by a signal (kill() included)
        FailedToStart,  // never ran; `error` says why
    };
    Status status = Status::Exited;
    int exitCode = 0;  // meaningful for Exited only
    QString error;     // a readable reason for FailedToStart and Crashed

    bool exitedWith(int code) const { return status == Status::Exited && exitCode == code; }
};

// What a started program does with its output, where it runs and what it sees.
struct ProcessOptions {
    enum class Output {
        Discard,       // stdout and stderr go nowhere
        AppendToFile,  // stdout and stderr, merged, appended to `outputFile`
        Chunks,        // stdout and stderr, merged, handed to `onChunk` in pieces
    };
    Output output = Output::Discard;
    QString outputFile;

    // Chunks: every piece holds at least one and at most `maxChunkBytes` bytes, in order.
    int maxChunkBytes = 256;
    std::function<void(const QByteArray&)> onChunk;

    // Runs once, from the event loop, after the last chunk: also when the program did not start.
    std::function<void(const ProcessEnd&)> onEnd;

    QString workingDirectory;                 // empty: the current directory
    QMap<QString, QString> extraEnvironment;  // set on top of this process's environment
    QStringList pathPrefix;                   // folders put in front of PATH, in this order
};

// One started program. Destroying it kills a process group that still runs; no callback
// arrives after destruction.
class ChildProcess {
  public:
    virtual ~ChildProcess() = default;

    virtual bool isRunning() const = 0;
    virtual bool hasEnded() const = 0;   // onEnd has run (or is about to, from the event loop)
    virtual ProcessEnd end() const = 0;  // valid once hasEnded()
    virtual qint64 pid() const = 0;      // 0 when the program is not running
    // Ends the program and everything it started: each child leads its own process group and
    // the whole group gets SIGKILL. The end is still reported through onEnd.
    virtual void kill() = 0;
};

// Starts programs directly (no shell: the arguments reach the program as they are). Every
// child runs in its own process group; when this process holds CAP_NET_RAW in its permitted
// set, the child gets it as an ambient capability so that raw-socket helpers keep working.
class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;
    virtual std::unique_ptr<ChildProcess> start(const QString& program,
                                                const QStringList& arguments,
                                                const ProcessOptions& options) = 0;
};

// Real processes over QProcess; must be used from a thread with an event loop.
class SystemProcessRunner final : public ProcessRunner {
  public:
    std::unique_ptr<ChildProcess> start(const QString& program, const QStringList& arguments,
                                        const ProcessOptions& options) override;
};

// True when this process holds CAP_NET_RAW in its permitted set.
bool HoldsNetRawPermitted();

}  // namespace sondrel
