#include "app/console_trace.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/command_line.h"
#include "app/console_prompts.h"
#include "app/console_signals.h"
#include "app/data_folder.h"
#include "app/tracert_path.h"
#include "common/clock.h"
#include "common/process_runner.h"
#include "common/system_resolver.h"
#include "targets/local_network.h"
#include "targets/target_expansion.h"
#include "targets/target_list.h"
#include "trace/trace_files.h"
#include "trace/trace_run.h"

namespace sondrel {

namespace {

constexpr int TraceFieldCount = 5;
const QString CompleteWord = QStringLiteral("完成");

void printOut(const QStringList& lines) {
    if (lines.isEmpty())
        return;
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += TerminalSafe(line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// Keeps how every started tracert ended, by start order. The trace starts its targets in index
// order, so start k is target k.
class EndRecordingRunner final : public ProcessRunner {
  public:
    explicit EndRecordingRunner(ProcessRunner& inner) : inner_(inner) {}

    std::unique_ptr<ChildProcess> start(const QString& program, const QStringList& arguments,
                                        const ProcessOptions& options) override {
        const size_t index = ends_.size();
        ends_.emplace_back();
        ProcessOptions how = options;
        how.onEnd = [this, index, next = options.onEnd](const ProcessEnd& end) {
            ends_[index] = end;
            if (onEnd)
                onEnd(end);
            if (next)
                next(end);
        };
        return inner_.start(program, arguments, how);
    }
    // Nothing for a program whose end has not been reported yet.
    const std::vector<std::optional<ProcessEnd>>& ends() const { return ends_; }

    std::function<void(const ProcessEnd&)> onEnd;

  private:
    ProcessRunner& inner_;
    std::vector<std::optional<ProcessEnd>> ends_;
};

// Field 0 as the ping command line reads it: one target for the manual box, or the entries at
// the list positions. Positions past the end are skipped; none left is a start without a
// selection, which finds no target. Nothing for a negative position, after its message.
std::optional<TargetRequest> traceRequest(const QString& targets, const TargetList& list,
                                          UserPrompts& prompts) {
    TargetRequest request;
    if (!targets.contains(QLatin1Char('/'))) {
        request.manualSingle = targets;
        request.textPing = targets;
        return request;
    }
    bool negative = false;
    const QList<int> positions = CommandLinePositions(targets, list.IPEntryCount(), &negative);
    if (negative) {
        prompts.message(CommandLineNegativePositionMessage, MessageIcon::Critical);
        return std::nullopt;
    }
    if (positions.isEmpty())
        return request;
    for (int position : positions)
        request.selectedEntries.append(list.IPEntries().at(position));
    request.hasCurrentItem = true;
    request.currentEntry = list.IPEntries().at(positions.last());
    request.currentItemText = EntryTitle(request.currentEntry);
    return request;
}

}  // namespace

bool ParseTraceCommandLine(const QString& text, TraceCommandLine* parsed) {
    const QStringList fields = text.split(QLatin1Char(';'));
    if (fields.size() != TraceFieldCount)
        return false;
    const QString& resolve = fields[4];
    if (resolve != QStringLiteral("1") && resolve != QStringLiteral("0"))
        return false;
    parsed->targets = fields[0];
    parsed->options.maxHops = fields[1];
    parsed->options.hostList = fields[2];
    parsed->options.timeOut = fields[3];
    parsed->options.resolveNames = resolve == QStringLiteral("1");
    return true;
}

QStringList TraceConsoleLines::take(const std::vector<TraceRecord>& records, bool over) {
    QStringList lines;
    while (size_t(target_) < records.size()) {
        const TraceRecord& record = records[size_t(target_)];
        const bool final = record.done || over;
        qint32 end = record.lineCount;
        if (final && end == 0 && !record.lines.isEmpty())
            end = 1;  // the caption of a trace that printed nothing
        if (!final) {
            for (qint32 n = printed_; n < end; ++n) {
                if (record.line(n).contains(CompleteWord)) {
                    end = n;
                    break;
                }
            }
        }
        for (qint32 n = printed_; n < end; ++n)
            lines << record.line(n);
        printed_ = std::max(printed_, end);
        if (!final)
            break;
        ++target_;
        printed_ = 0;
    }
    return lines;
}

int RunConsoleTrace(const QString& argumentText) {
    ConsolePrompts prompts;
    TraceCommandLine command;
    if (!ParseTraceCommandLine(argumentText, &command)) {
        prompts.message(CommandLineIncorrectMessage, MessageIcon::Critical);
        return TraceRefused;
    }
    SystemClock clock;
    SystemProcessRunner system;
    EndRecordingRunner runner(system);
    SystemResolver resolver;
    RunState state;
    const QString dataFolder = LocateDataFolder(prompts);
    SystemLocalNetwork network;
    TargetList list(dataFolder, network, prompts);
    list.Fill_IP_List_2();
    std::optional<TargetRequest> request = traceRequest(command.targets, list, prompts);
    if (!request)
        return TraceRefused;

    const QString program = TracertProgramPath();
    bool startFailureShown = false;
    runner.onEnd = [&prompts, &startFailureShown](const ProcessEnd& end) {
        // Every target would say the same: once is enough.
        if (end.status != ProcessEnd::Status::FailedToStart || startFailureShown)
            return;
        startFailureShown = true;
        prompts.message(end.error, MessageIcon::Exclamation);
    };
    TraceRun run({runner, clock, prompts, resolver}, state, dataFolder, program);
    TraceConsoleLines printer;
    bool started = false;
    qint32 followed = 0;
    int exitStatus = -1;  // set once the run has ended
    const auto finish = [&exitStatus](int status) {
        exitStatus = status;
        QCoreApplication::exit(status);
    };
    QObject::connect(&run, &TraceRun::started, [&run, &started] {
        started = true;
        printOut({run.titleLine()});
    });
    // Every poll ends with the rows: the lines read by it are printed, and the view follows the
    // target being printed, so that the poll reads that one while it still runs.
    QObject::connect(&run, &TraceRun::rowsChanged, [&run, &printer, &started, &followed] {
        if (!started || !run.tracing())
            return;  // the end prints the rest
        printOut(printer.take(run.records(), false));
        if (printer.target() != followed && printer.target() < run.targetCount()) {
            followed = printer.target();
            run.showFromRow(TraceRowOf(run.records(), {followed, 0}));
        }
    });
    QObject::connect(&run, &TraceRun::startAbandoned, [&finish] { finish(TraceRefused); });
    const auto endRun = [&] {
        if (exitStatus >= 0)
            return;
        // A stopped trace keeps what its file holds: what was written up to the kill.
        std::vector<TraceRecord> records = run.records();
        for (size_t i = 0; i < records.size(); ++i) {
            if (!records[i].done && !records[i].lines.isEmpty())
                ReadTraceOutput(records[i], qint32(i), TraceOutputFile(run.fileBase(), qint64(i)),
                                false);
        }
        printOut(printer.take(records, true));
        if (started)
            printOut({run.titleLine()});
        bool complete = started && run.titleLine().contains(QStringLiteral("全部完成"));
        for (const std::optional<ProcessEnd>& end : runner.ends())
            complete = complete && end && end->exitedWith(0);
        finish(complete ? TraceAllCompleted : TraceIncomplete);
    };
    QObject::connect(&run, &TraceRun::stopCompleted, endRun);
    // Once every trace is complete nothing is left to wait for: the stop's two seconds are the
    // window's, not a script's.
    QObject::connect(&run, &TraceRun::titleLineChanged, [&endRun](const QString& title) {
        if (title.contains(QStringLiteral("全部完成")))
            endRun();
    });
    QObject stopContext;
    InstallStopSignals(&stopContext, [&run] { run.StopTrace(); });

    if (run.CommandTracert_Click(*request, command.options) == StartResult::Refused)
        return TraceRefused;
    if (exitStatus < 0)
        exitStatus = QCoreApplication::exec();
    std::fflush(stdout);
    return exitStatus;
}

}  // namespace sondrel
