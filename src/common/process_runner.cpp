#include "common/process_runner.h"

#include <QDir>
#include <QMetaObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <algorithm>

namespace sondrel {
namespace {

constexpr quint32 NetRawBit = 1u << CAP_NET_RAW;  // CAP_NET_RAW < 32: the first word

bool ReadCapabilities(__user_cap_header_struct* header, __user_cap_data_struct* data) {
    header->version = _LINUX_CAPABILITY_VERSION_3;
    header->pid = 0;
    return syscall(SYS_capget, header, data) == 0;
}

// Runs in the child between fork and exec: only plain system calls, no allocation, no locks.
void PrepareChild() {
    // A group of its own, so that kill() reaches everything the program starts.
    ::setpgid(0, 0);

    // Hand CAP_NET_RAW on through exec when we hold it; without it the program falls back
    // to an unprivileged socket, so every failure here is ignored.
    __user_cap_header_struct header;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (!ReadCapabilities(&header, data) || (data[0].permitted & NetRawBit) == 0)
        return;
    data[0].inheritable |= NetRawBit;
    if (syscall(SYS_capset, &header, data) != 0)
        return;
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_RAISE, CAP_NET_RAW, 0, 0);
}

QProcessEnvironment BuildEnvironment(const ProcessOptions& options) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = options.extraEnvironment.cbegin(); it != options.extraEnvironment.cend(); ++it)
        environment.insert(it.key(), it.value());
    if (!options.pathPrefix.isEmpty()) {
        QStringList path = options.pathPrefix;
        const QString old = environment.value(QStringLiteral("PATH"));
        if (!old.isEmpty())
            path.append(old);
        environment.insert(QStringLiteral("PATH"), path.join(QDir::listSeparator()));
    }
    return environment;
}

class SystemChildProcess final : public ChildProcess {
  public:
    SystemChildProcess(const QString& program, const QStringList& arguments,
                       const ProcessOptions& options)
        : options_(options), process_(new QProcess) {
        process_->setProgram(program);
        process_->setArguments(arguments);
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->setProcessEnvironment(BuildEnvironment(options));
        if (!options.workingDirectory.isEmpty())
            process_->setWorkingDirectory(options.workingDirectory);
        switch (options.output) {
            case ProcessOptions::Output::Discard:
                process_->setStandardOutputFile(QProcess::nullDevice());
                break;
            case ProcessOptions::Output::AppendToFile:
                process_->setStandardOutputFile(options.outputFile, QIODevice::Append);
                break;
            case ProcessOptions::Output::Chunks:
                QObject::connect(process_, &QProcess::readyReadStandardOutput, process_,
                                 [this] { deliverOutput(); });
                break;
        }
        process_->setStandardInputFile(QProcess::nullDevice());
        process_->setChildProcessModifier(&PrepareChild);

        QObject::connect(
            process_, &QProcess::finished, process_,
            [this](int code, QProcess::ExitStatus status) { onFinished(code, status); });
        QObject::connect(process_, &QProcess::errorOccurred, process_,
                         [this](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart)
                                 onFailedToStart();
                         });
        process_->start(QIODevice::ReadOnly);
        // The child makes itself a group leader too; doing it from here as well closes the
        // window in which a kill() right after start() would miss the group. It fails
        // harmlessly once the child has called exec.
        if (const qint64 pid = process_->processId(); pid > 0)
            ::setpgid(static_cast<pid_t>(pid), static_cast<pid_t>(pid));
    }

    ~SystemChildProcess() override {
        QObject::disconnect(process_, nullptr, nullptr, nullptr);
        if (process_->state() != QProcess::NotRunning) {
            killGroup();
            process_->waitForFinished(2000);
        }
        // The destructor may run from one of the process's own signals.
        process_->deleteLater();
    }

    bool isRunning() const override { return !ended_ && process_->state() != QProcess::NotRunning; }
    bool hasEnded() const override { return ended_; }
    ProcessEnd end() const override { return end_; }
    qint64 pid() const override { return ended_ ? 0 : process_->processId(); }

    void kill() override {
        if (ended_ || process_->state() == QProcess::NotRunning)
            return;
        killed_ = true;
        killGroup();
    }

  private:
    void killGroup() {
        const auto pid = static_cast<pid_t>(process_->processId());
        if (pid <= 0)
            return;
        if (::kill(-pid, SIGKILL) != 0)
            ::kill(pid, SIGKILL);  // not yet its own group leader
    }

    // Hands out what the program wrote; false when a callback destroyed this object.
    bool deliverOutput() {
        const QByteArray bytes = process_->readAllStandardOutput();
        if (bytes.isEmpty() || !options_.onChunk)
            return true;
        const qsizetype step = std::max(1, options_.maxChunkBytes);
        const std::weak_ptr<bool> alive = alive_;
        for (qsizetype at = 0; at < bytes.size(); at += step) {
            options_.onChunk(bytes.mid(at, step));
            if (alive.expired())
                return false;
        }
        return true;
    }

    void onFinished(int code, QProcess::ExitStatus status) {
        if (ended_)
            return;
        if (options_.output == ProcessOptions::Output::Chunks && !deliverOutput())
            return;
        ended_ = true;
        if (status == QProcess::NormalExit) {
            end_ = {ProcessEnd::Status::Exited, code, {}};
        } else {
            end_ = {ProcessEnd::Status::Crashed, -1,
                    killed_ ? QStringLiteral("killed") : process_->errorString()};
        }
        if (options_.onEnd)
            options_.onEnd(end_);
    }

    void onFailedToStart() {
        if (ended_)
            return;
        ended_ = true;
        end_ = {ProcessEnd::Status::FailedToStart, -1,
                QStringLiteral("%1 could not be started: %2")
                    .arg(process_->program(), process_->errorString())};
        // Reported from the event loop: start() may still be on the stack.
        const std::weak_ptr<bool> alive = alive_;
        QMetaObject::invokeMethod(
            process_,
            [this, alive] {
                if (!alive.expired() && options_.onEnd)
                    options_.onEnd(end_);
            },
            Qt::QueuedConnection);
    }

    ProcessOptions options_;
    QProcess* process_;
    // Callbacks may destroy this object; they hold a weak reference to find out.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool ended_ = false;
    bool killed_ = false;
    ProcessEnd end_;
};

}  // namespace

std::unique_ptr<ChildProcess> SystemProcessRunner::start(const QString& program,
                                                         const QStringList& arguments,
                                                         const ProcessOptions& options) {
    return std::make_unique<SystemChildProcess>(program, arguments, options);
}

bool HoldsNetRawPermitted() {
    __user_cap_header_struct header;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    return ReadCapabilities(&header, data) && (data[0].permitted & NetRawBit) != 0;
}

}  // namespace sondrel
