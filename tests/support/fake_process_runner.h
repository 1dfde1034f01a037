#pragma once

#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "common/process_runner.h"
#include "support/fake_clock.h"

namespace sondrel::testing {

// What one fake program does, in virtual time from its start.
struct FakeProcessScript {
    // Output written at a moment: handed to onChunk (split to maxChunkBytes) or appended to
    // the output file, as the options ask.
    std::vector<std::pair<qint64, QByteArray>> output;
    qint64 endAtMs = 0;  // the moment the program exits by itself
    int exitCode = 0;
    bool failToStart = false;  // ends at once (at the next clock step) with FailedToStart

    FakeProcessScript& write(qint64 atMs, QByteArray bytes) {
        output.emplace_back(atMs, std::move(bytes));
        return *this;
    }
    FakeProcessScript& exitAt(qint64 atMs, int code) {
        endAtMs = atMs;
        exitCode = code;
        return *this;
    }
};

// Runs scripted programs on the fake clock and records what was started and killed.
// Scripts are used in the order given, one per start; without one a program exits with 0
// right away. A killed program reports Crashed at the next clock step.
class FakeProcessRunner final : public ProcessRunner {
  public:
    struct Start {
        QString program;
        QStringList arguments;
        ProcessOptions options;
        qint64 pid = 0;
        bool killed = false;
    };

    explicit FakeProcessRunner(FakeClock& clock) : clock_(clock) {}

    void addScript(FakeProcessScript script) { scripts_.push_back(std::move(script)); }

    std::unique_ptr<ChildProcess> start(const QString& program, const QStringList& arguments,
                                        const ProcessOptions& options) override;

    // Every start, in order; `killed` is set when kill() reached a running fake.
    const std::vector<Start>& starts() const { return *starts_; }
    int killCount() const;
    int runningCount() const { return *running_; }

  private:
    FakeClock& clock_;
    std::deque<FakeProcessScript> scripts_;
    std::shared_ptr<std::vector<Start>> starts_ = std::make_shared<std::vector<Start>>();
    std::shared_ptr<int> running_ = std::make_shared<int>(0);
    qint64 nextPid_ = 4000;
};

}  // namespace sondrel::testing
