#include "app/console_mode.h"

#include <QCoreApplication>
#include <QStringBuilder>
#include <QTimer>
#include <cstdio>

#include "app/command_line.h"
#include "app/console_exports.h"
#include "app/console_prompts.h"
#include "app/console_signals.h"
#include "app/data_folder.h"
#include "app/database_logging.h"
#include "common/clock.h"
#include "common/system_resolver.h"
#include "engine/icmp_echo.h"
#include "engine/ping_test.h"
#include "engine/test_parameters.h"
#include "targets/local_network.h"
#include "targets/target_expansion.h"
#include "targets/target_list.h"

namespace sondrel {

namespace {

void printOut(const QString& line) {
    const QByteArray bytes = TerminalSafe(line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// The request for field 0: the one target, or the entries at the chosen list positions. No
// position left is a start without a selection, as in the window.
TargetRequest consoleRequest(const CommandLineTargetChoice& choice, const TargetList& list) {
    TargetRequest request;
    if (choice.single) {
        request.manualSingle = choice.target;
        request.textPing = choice.target;
        return request;
    }
    if (choice.positions.isEmpty())
        return request;
    for (int position : choice.positions)
        request.selectedEntries.append(list.IPEntries().at(position));
    request.hasCurrentItem = true;
    request.currentEntry = list.IPEntries().at(choice.positions.last());
    request.currentItemText = EntryTitle(request.currentEntry);
    return request;
}

void printSummary(PingTest& test) {
    const SummaryTexts values = test.summary();
    const QStringList& headings = SummaryHeadings();
    for (size_t i = 0; i < values.size(); ++i)
        printOut(headings[qsizetype(i)] + QLatin1Char('\t') + values[i]);
    std::fflush(stdout);
}

}  // namespace

int RunConsoleMode(const QString& argumentText) {
    ConsolePrompts prompts;
    CommandLineFields fields;
    if (ParseCommandLine(argumentText, &fields) != CommandLineKind::Apply) {
        prompts.message(CommandLineIncorrectMessage, MessageIcon::Critical);
        return ConsoleRefused;
    }
    SystemClock clock;
    IcmpEcho echo;
    SystemResolver resolver;
    CancellingDialogs dialogs;
    RunState state;
    TestParameters params(prompts, dialogs);
    params.FillParameterLists();
    const QString dataFolder = LocateDataFolder(prompts);
    SystemLocalNetwork network;
    TargetList list(dataFolder, network, prompts);
    list.Fill_IP_List_2();
    CommandLineTargetChoice choice;
    if (!ApplyCommandLineFields(fields, params, list.IPEntryCount(), prompts, QString(), &choice))
        return ConsoleRefused;
    TargetRequest request = consoleRequest(choice, list);

    PingTest test({echo, resolver, clock, prompts}, state, params, dataFolder);
    UseStoredDatabaseLogging(test, dataFolder, prompts);
    int exitStatus = -1;  // set once the run has ended
    const auto finish = [&exitStatus](int status) {
        exitStatus = status;
        QCoreApplication::exit(status);
    };
    QObject::connect(&test, &PingTest::started, [&test] { printOut(test.runHeading()); });
    QObject::connect(&test, &PingTest::replyShown,
                     [](qint32 index, const QString& prefix, const QString& detail) {
                         printOut(QString::number(index + 1) % QStringLiteral(". ") % prefix %
                                  QStringLiteral("  ") % detail);
                     });
    QObject::connect(&test, &PingTest::startAbandoned, [&finish] { finish(ConsoleRefused); });
    // Without a log the run is worth nothing: it stops and the exit status says so.
    bool logFailed = false;
    QObject::connect(&test, &PingTest::probingFailed, [&test, &logFailed] {
        logFailed = true;
        QTimer::singleShot(0, &test, [&test] {
            if (test.running())
                test.CommandStop_Click();
        });
    });
    QObject::connect(&test, &PingTest::stopCompleted, [&test, &finish, &logFailed] {
        printSummary(test);
        const bool exported = WriteConsoleExports(test.results());
        const RunStatistics& s = test.statistics();
        if (logFailed || !exported)
            finish(ConsoleRefused);
        else
            finish(s.sentCount - s.lostCount > 0 ? ConsoleReplied : ConsoleNoReply);
    });
    QObject stopContext;
    InstallStopSignals(&stopContext, [&test] { test.CommandStop_Click(); });

    if (test.CommandStart_Click(request) == StartResult::Refused)
        return ConsoleRefused;
    if (exitStatus < 0)
        exitStatus = QCoreApplication::exec();
    std::fflush(stdout);
    return exitStatus;
}

}  // namespace sondrel
