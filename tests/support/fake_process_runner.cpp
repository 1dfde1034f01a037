#include "support/fake_process_runner.h"

#include <QFile>
#include <algorithm>

namespace sondrel::testing {
namespace {

struct FakeState {
    ProcessOptions options;
    qint64 pid = 0;
    size_t startIndex = 0;
    bool ended = false;
    ProcessEnd end;
    std::shared_ptr<std::vector<FakeProcessRunner::Start>> starts;
    std::shared_ptr<int> running;

    void finish(ProcessEnd how) {
        if (ended)
            return;
        ended = true;
        end = std::move(how);
        --*running;
        if (options.onEnd)
            options.onEnd(end);
    }

    void write(const QByteArray& bytes) {
        if (ended)
            return;
        switch (options.output) {
            case ProcessOptions::Output::Discard:
                break;
            case ProcessOptions::Output::AppendToFile: {
                QFile file(options.outputFile);
                if (file.open(QIODevice::WriteOnly | QIODevice::Append))
                    file.write(bytes);
                break;
            }
            case ProcessOptions::Output::Chunks: {
                if (!options.onChunk)
                    break;
                const qsizetype step = std::max(1, options.maxChunkBytes);
                for (qsizetype at = 0; at < bytes.size() && !ended; at += step)
                    options.onChunk(bytes.mid(at, step));
                break;
            }
        }
    }
};

class FakeChildProcess final : public ChildProcess {
  public:
    FakeChildProcess(FakeClock& clock, std::shared_ptr<FakeState> state)
        : clock_(clock), state_(std::move(state)) {}
    ~FakeChildProcess() override {
        // No callbacks after destruction; a program still running counts as killed.
        if (!state_->ended) {
            state_->ended = true;
            --*state_->running;
        }
    }

    bool isRunning() const override { return !state_->ended; }
    bool hasEnded() const override { return state_->ended; }
    ProcessEnd end() const override { return state_->end; }
    qint64 pid() const override { return state_->ended ? 0 : state_->pid; }

    void kill() override {
        if (state_->ended || killed_)
            return;
        killed_ = true;
        (*state_->starts)[state_->startIndex].killed = true;
        std::weak_ptr<FakeState> weak = state_;
        clock_.schedule(0, [weak] {
            if (auto state = weak.lock())
                state->finish({ProcessEnd::Status::Crashed, -1, QStringLiteral("killed")});
        });
    }

  private:
    FakeClock& clock_;
    std::shared_ptr<FakeState> state_;
    bool killed_ = false;
};

}  // namespace

std::unique_ptr<ChildProcess> FakeProcessRunner::start(const QString& program,
                                                       const QStringList& arguments,
                                                       const ProcessOptions& options) {
    FakeProcessScript script;
    if (!scripts_.empty()) {
        script = std::move(scripts_.front());
        scripts_.pop_front();
    }
    auto state = std::make_shared<FakeState>();
    state->options = options;
    state->pid = script.failToStart ? 0 : nextPid_++;
    state->startIndex = starts_->size();
    state->starts = starts_;
    state->running = running_;
    starts_->push_back({program, arguments, options, state->pid, false});
    ++*running_;

    std::weak_ptr<FakeState> weak = state;
    if (script.failToStart) {
        clock_.schedule(0, [weak, program] {
            if (auto s = weak.lock())
                s->finish(
                    {ProcessEnd::Status::FailedToStart, -1,
                     QStringLiteral("%1 could not be started: scripted failure").arg(program)});
        });
    } else {
        for (auto& [at, bytes] : script.output) {
            clock_.schedule(at, [weak, bytes] {
                if (auto s = weak.lock())
                    s->write(bytes);
            });
        }
        // Output due at the very moment of the exit still comes first: same time, earlier order.
        clock_.schedule(script.endAtMs, [weak, code = script.exitCode] {
            if (auto s = weak.lock())
                s->finish({ProcessEnd::Status::Exited, code, {}});
        });
    }
    return std::make_unique<FakeChildProcess>(clock_, std::move(state));
}

int FakeProcessRunner::killCount() const {
    return static_cast<int>(
        std::count_if(starts_->begin(), starts_->end(), [](const Start& s) { return s.killed; }));
}

}  // namespace sondrel::testing
