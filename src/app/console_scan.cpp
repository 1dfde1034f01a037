#include "app/console_scan.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

#include "app/command_line.h"
#include "app/console_prompts.h"
#include "app/console_signals.h"
#include "app/data_folder.h"
#include "common/clock.h"
#include "common/local_address.h"
#include "common/process_runner.h"
#include "common/system_resolver.h"
#include "console/class_dos.h"
#include "scan/local_interface.h"
#include "scan/scan_report_socket.h"
#include "scan/scan_run.h"
#include "scan/scanner_program.h"
#include "targets/local_network.h"
#include "targets/target_expansion.h"
#include "targets/target_list.h"

namespace sondrel {

namespace {

// How long the scan waits for reports once every worker has ended before it stops itself: a
// worker that failed sends none, and the console has no operator to press stop.
constexpr int ReportGraceMs = 3000;

void PrintLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += TerminalSafe(line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// Counts the workers that have ended.
class EndCountingRunner final : public ProcessRunner {
  public:
    explicit EndCountingRunner(ProcessRunner& inner) : inner_(inner) {}
    std::unique_ptr<ChildProcess> start(const QString& program, const QStringList& arguments,
                                        const ProcessOptions& options) override {
        ++started;
        ProcessOptions how = options;
        how.onEnd = [this](const ProcessEnd&) {
            ++ended;
            if (onEnd)
                onEnd();
        };
        return inner_.start(program, arguments, how);
    }
    int started = 0;
    int ended = 0;
    std::function<void()> onEnd;

  private:
    ProcessRunner& inner_;
};

// The request and range of the targets; nothing after a message when they are refused.
std::optional<std::pair<TargetRequest, QString>> ScanTargets(const QString& targets,
                                                             const TargetList& list,
                                                             UserPrompts& prompts) {
    TargetRequest request;
    if (targets.contains(QLatin1Char('/'))) {
        bool negative = false;
        const QList<int> positions = CommandLinePositions(targets, list.IPEntryCount(), &negative);
        if (negative || positions.isEmpty()) {
            prompts.message(
                negative ? CommandLineNegativePositionMessage : CommandLineIncorrectMessage,
                MessageIcon::Critical);
            return std::nullopt;
        }
        for (int position : positions)
            request.selectedEntries.append(list.IPEntries().at(position));
        request.hasCurrentItem = true;
        request.currentEntry = list.IPEntries().at(positions.last());
        request.currentItemText = EntryTitle(request.currentEntry);
        return std::pair(request, QString());
    }
    static const QRegularExpression rangeForm(QStringLiteral("^[\\d.\\s]+-[\\d.\\s]+$"));
    if (rangeForm.match(targets).hasMatch()) {
        const std::optional<QString> range = ConsoleScanRange(targets);
        if (!range) {
            prompts.message(CommandLineIncorrectMessage, MessageIcon::Critical);
            return std::nullopt;
        }
        return std::pair(request, *range);
    }
    if (targets.trimmed().isEmpty()) {
        prompts.message(CommandLineIncorrectMessage, MessageIcon::Critical);
        return std::nullopt;
    }
    request.textPing = targets.trimmed();
    return std::pair(request, QString());
}

QStringList ResultLines(const ScanRun& run, int targetCount) {
    QStringList lines;
    const ScanTable& table = run.ScanResultsKept();
    for (size_t i = 0; i < table.size(); ++i) {
        const ScanRowView row = ScanRowOf(table[i], qsizetype(i));
        lines << QStringList{row.number, row.address, row.ping, row.host, row.mac, row.ttl}.join(
            QLatin1Char('\t'));
    }
    lines << QStringLiteral("总数：") + QString::number(targetCount) + QStringLiteral("  活动:") +
                 QString::number(run.activeCount()) + QStringLiteral(" / 非活动:") +
                 QString::number(run.inactiveCount());
    lines << run.completionText();
    return lines;
}

}  // namespace

std::optional<QString> ConsoleScanRange(const QString& targets) {
    const QStringList ends = targets.split(QLatin1Char('-'));
    if (ends.size() != 2)
        return std::nullopt;
    const QString from = NormalizeIpAddress(ends[0].trimmed());
    const QString to = NormalizeIpAddress(ends[1].trimmed());
    if (from.isEmpty() || to.isEmpty())
        return std::nullopt;
    return QLatin1Char('C') + from + QLatin1Char('-') + to + QLatin1Char(',') + from +
           QLatin1Char(',') + to;
}

int RunConsoleScan(const QString& targets) {
    ConsolePrompts prompts;
    const QString dataFolder = LocateDataFolder(prompts);
    SystemLocalNetwork network;
    TargetList list(dataFolder, network, prompts);
    list.Fill_IP_List_2();
    const auto request = ScanTargets(targets, list, prompts);
    if (!request)
        return ScanRefused;
    QString error;
    const std::optional<QString> worker =
        ExtractScannerProgram(dataFolder, QCoreApplication::applicationDirPath(), &error);
    const QString reportFolder = ScanReportDirectory(dataFolder);
    ScanReportSocket socket;
    if (!worker || !socket.open(reportFolder, QString::number(::getpid()), &error)) {
        prompts.message(error, MessageIcon::Exclamation);
        return ScanRefused;
    }
    SystemClock clock;
    SystemProcessRunner system;
    EndCountingRunner runner(system);
    SystemResolver resolver;
    RunState state;
    ScanRun::Services services{{runner, clock, prompts, resolver}, {}, {}, {}};
    services.runCommand = [&prompts](const QString& line,
                                     const std::function<void(const QString&)>& receive) {
        ClassDos dos(prompts);
        QObject::connect(&dos, &ClassDos::ReceiveOutputs, &dos,
                         [&receive](QString& chunk) { receive(chunk); });
        dos.setCommandLine(line);
        dos.ExecuteCommand(QString());
    };
    services.localAddress = [] { return FirstLocalIpv4Address(); };
    services.interfaceOfAddress = [](const QString& a) { return InterfaceHoldingAddress(a); };
    ScanRun run(services, state, *worker, QString::number(::getpid()), reportFolder);
    QObject::connect(&socket, &ScanReportSocket::reportReceived, &run,
                     [&run](const QString& text) { run.ReceiveScanReport(text); });
    QObject::connect(&run, &ScanRun::startAbandoned, [] { QCoreApplication::exit(ScanRefused); });
    QObject::connect(&run, &ScanRun::scanFinished, [&] {
        PrintLines(ResultLines(run, int(run.ScanResultsKept().size())));
        QCoreApplication::exit(run.activeCount() > 0 ? ScanSomeAnswered : ScanNoneAnswered);
    });
    runner.onEnd = [&run, &runner] {
        if (runner.ended == int(run.ScanResults().size()) && !run.finished())
            QTimer::singleShot(ReportGraceMs, &run, [&run] {
                if (!run.finished())
                    run.StopScan();
            });
    };
    QObject stopContext;
    InstallStopSignals(&stopContext, [&run] { run.StopScan(); });
    bool abandoned = false;
    QObject::connect(&run, &ScanRun::startAbandoned, [&abandoned] { abandoned = true; });
    run.StartScan(request->first, request->second);
    if (abandoned)
        return ScanRefused;
    const int status = QCoreApplication::exec();
    std::fflush(stdout);
    return status;
}

}  // namespace sondrel
