#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include "common/user_prompts.h"

namespace sondrel {

// Runs one command line as a hidden child (no shell: the line is split by shell quoting rules,
// so a caller that wants a shell writes "sh -c …" itself), with its standard output and
// standard error merged into one pipe. Every read of at most 256 bytes is handed on through
// ReceiveOutputs while the window's event loop keeps running; the run ends when every writer
// of the pipe has closed it (background children included), with one last, empty chunk.
// ExecuteCommand returns the whole text.
//
// A run is bounded: a child that outlives the time limit, or output beyond the output limit,
// ends the child's process group and the run, with a message.
class ClassDos : public QObject {
    Q_OBJECT
  public:
    static constexpr int ReadBytes = 256;
    static constexpr int DefaultTimeLimitMs = 120'000;
    static constexpr qint64 DefaultOutputLimitBytes = 16 * 1024 * 1024;

    explicit ClassDos(UserPrompts& prompts, QObject* parent = nullptr);
    ~ClassDos() override;

    void setCommandLine(const QString& line) { commandLine_ = line; }
    QString CommandLine() const { return commandLine_; }
    // The collected output of the most recent run.
    QVariant 导出() const { return collected_; }

    // Runs `argument` (or, when it is empty, the command line already set) and returns the
    // collected output; the empty text when nothing could be started.
    QString ExecuteCommand(const QString& argument);

    void setTimeLimitMs(int ms) { timeLimitMs_ = ms; }
    void setOutputLimitBytes(qint64 bytes) { outputLimitBytes_ = bytes; }
    bool running() const { return running_; }

  Q_SIGNALS:
    // One read of the child's output, decoded; the last one of a run is empty.
    void ReceiveOutputs(QString& chunk);

  private:
    struct Run;
    bool startChild(Run& run);
    // Reads until the end of the output; the instance may be destroyed by a listener meanwhile.
    void readLoop(Run& run);

    UserPrompts& prompts_;
    QString commandLine_;
    QString collected_;
    int timeLimitMs_ = DefaultTimeLimitMs;
    qint64 outputLimitBytes_ = DefaultOutputLimitBytes;
    bool running_ = false;
};

}  // namespace sondrel
