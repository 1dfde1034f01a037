#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <algorithm>

#include "support/deferred_resolver.h"
#include "support/fake_clock.h"
#include "support/fake_echo.h"
#include "support/fake_process_runner.h"
#include "support/recording_prompts.h"
#include "trace/trace_files.h"
#include "trace/trace_run.h"

namespace sondrel {
namespace {

using testing::FakeClock;
using testing::FakeProcessRunner;
using testing::FakeProcessScript;
using testing::FakeResolver;
using testing::RecordingPrompts;

const QString Program = QStringLiteral("/opt/sondrel/tracert");
const QDateTime StartMoment(QDate(2026, 12, 8), QTime(10, 45, 30));

// What our tracert prints for one hop, the last line at `endMs` just before it exits.
FakeProcessScript Trace(const QString& target, qint64 endMs) {
    const QString head = "\r\n通过最多 30 个跃点跟踪到 " + target +
                         " 的路由:\r\n\r\n  1    <1 毫秒 " + target + "  \r\n";
    return FakeProcessScript()
        .write(100, head.toUtf8())
        .write(endMs, QStringLiteral("\r\n跟踪完成。\r\n").toUtf8())
        .exitAt(endMs, 0);
}

FakeProcessScript Running() {
    return FakeProcessScript().write(100, "\r\nheader\r\n").exitAt(10'000'000, 0);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class TraceRunTest : public ::testing::Test {
  protected:
    TraceRunTest() {
        QObject::connect(&run, &TraceRun::titleLineChanged,
                         [this](const QString& t) { titles << t; });
        QObject::connect(&run, &TraceRun::rowsChanged,
                         [this](const QStringList& rows, qint64 first, qint64 total) {
                             shownRows = rows;
                             firstRow = first;
                             totalRows = total;
                         });
        QObject::connect(&run, &TraceRun::jumpControlsShown, [this](bool s) { jumpShown << s; });
        QObject::connect(&run, &TraceRun::defaultsSaveRequested, [this] {
            ++saves;
            saved = run.fileBase() + "|" + QString::number(run.targetCount());
        });
        QObject::connect(&run, &TraceRun::stopButtonEnabled, [this](bool e) { stopButton << e; });
        QObject::connect(&run, &TraceRun::stopCompleted, [this] { ++completions; });
        QObject::connect(&run, &TraceRun::startAbandoned, [this] { ++abandoned; });
    }

    StartResult start(const QStringList& entries, const TraceOptionTexts& texts = {}) {
        request = TargetRequest{};
        request.hasCurrentItem = true;
        request.selectedEntries = entries;
        return run.CommandTracert_Click(request, texts);
    }
    static QStringList Addresses(int count) {
        QStringList entries;
        for (int i = 1; i <= count; ++i)
            entries << QString("AT%1,10.0.%2.%3").arg(i).arg((i - 1) / 250).arg((i - 1) % 250 + 1);
        return entries;
    }
    qint32 done() const {
        return qint32(std::count_if(run.records().begin(), run.records().end(),
                                    [](const TraceRecord& r) { return r.done; }));
    }
    QString tempFolder() const { return folder.path() + "/温度"; }

    QTemporaryDir folder;
    FakeClock clock{StartMoment};
    FakeProcessRunner runner{clock};
    RecordingPrompts prompts;
    FakeResolver resolver;
    RunState state;
    TraceRun run{{runner, clock, prompts, resolver}, state, folder.path() + "/", Program};
    TargetRequest request;

    QStringList titles, shownRows;
    qint64 firstRow = -1, totalRows = -1;
    QList<bool> jumpShown, stopButton;
    int saves = 0, completions = 0, abandoned = 0;
    QString saved;  // file base and target count as the save saw them
};

TEST_F(TraceRunTest, EveryTargetGetsItsProcessFileAndCaption) {
    ASSERT_EQ(start({"AOne,10.0.0.1", "ATwo,10.0.0.2", "AThree,10.0.0.3"}, {"30", "", "4000"}),
              StartResult::Starting);
    EXPECT_TRUE(state.activityBusy());
    EXPECT_EQ(state.runningActivity, Activity::Trace);
    EXPECT_EQ(titles, QStringList({"检查 IP 地址，请稍候...", "跟踪路径到3 主机 ..."}));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(saved, tempFolder() + "/TMP2026128104530|3");
    EXPECT_EQ(jumpShown, QList<bool>({false, true}));

    ASSERT_EQ(runner.starts().size(), 3u);
    const FakeProcessRunner::Start& third = runner.starts()[2];
    EXPECT_EQ(third.program, Program);
    EXPECT_EQ(third.arguments, QStringList({"-d", "-h", "30", "-w", "4000", "10.0.0.3"}));
    EXPECT_EQ(third.options.output, ProcessOptions::Output::AppendToFile);
    EXPECT_EQ(third.options.outputFile, tempFolder() + "/TMP2026128104530" + "2.txt");
    EXPECT_TRUE(QFileInfo(tempFolder()).isDir());

    const TraceRecord& record = run.records()[2];
    EXPECT_EQ(record.line(0), "(3） 路由跟踪10.0.0.3最多30 hops ......");
    EXPECT_EQ(record.jumpText, "Three" + QString(80, ' ') + "2");
    EXPECT_EQ(record.capacity, 39);
    EXPECT_EQ(record.startTime, SystemDateTimeText(StartMoment));
    EXPECT_EQ(shownRows.mid(0, 4), QStringList({run.records()[0].line(0), run.records()[1].line(0),
                                                record.line(0), ""}));
    EXPECT_EQ(totalRows, 3);
}

TEST_F(TraceRunTest, TitleCountsCompletedTracesAndTheRunEndsWhenAllAreDone) {
    runner.addScript(Trace("10.0.0.1", 500));
    runner.addScript(Trace("10.0.0.2", 2500));
    runner.addScript(Trace("10.0.0.3", 2600));
    start(Addresses(3));
    clock.advance(1000);
    EXPECT_EQ(titles.last(), "跟踪路径到3 主机 ...       1 completed.");
    clock.advance(2000);
    EXPECT_EQ(titles.last(), "跟踪路径到3 主机.       全部完成.");
    EXPECT_EQ(stopButton, QList<bool>({false}));
    EXPECT_TRUE(state.activityBusy());  // the stop's wait
    EXPECT_FALSE(run.resultsAvailable());
    clock.advance(2000);
    EXPECT_FALSE(state.activityBusy());
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(titles.last(), "跟踪路径到3 主机.       全部完成.");
    EXPECT_EQ(stopButton, QList<bool>({false, true}));
    EXPECT_TRUE(run.resultsAvailable());
    EXPECT_EQ(runner.killCount(), 0);
    clock.runUntilIdle();
    EXPECT_EQ(runner.starts().size(), 3u);
}

TEST_F(TraceRunTest, OutputLinesAreNumberedAndTheCompletionIsDated) {
    runner.addScript(Trace("10.0.0.1", 1500));
    start({"AOne,10.0.0.1"});
    EXPECT_EQ(jumpShown, QList<bool>({false}));  // one target: no jump list
    clock.advance(1000);                         // running and shown: read
    const QString header = "通过最多 30 个跃点(1） 跟踪到 10.0.0.1 的路由:";
    EXPECT_EQ(run.records()[0].lines, QStringList({"", header, "", "1    <1 毫秒 10.0.0.1"}));
    clock.advance(1000);
    const TraceRecord& record = run.records()[0];
    ASSERT_EQ(record.lineCount, 6);
    EXPECT_EQ(record.line(5), "(1） 跟踪完成。      从  " + SystemDateTimeText(StartMoment) +
                                  "  到  " + SystemDateTimeText(StartMoment.addSecs(2)));
    EXPECT_EQ(shownRows.mid(0, 8),
              QStringList({"", header, "", "1    <1 毫秒 10.0.0.1", "", record.line(5), "", ""}));
    EXPECT_EQ(totalRows, 7);  // with the empty closing row
}

TEST_F(TraceRunTest, PartialLastLineWaitsUntilItIsCompleteOrTheTraceEnds) {
    runner.addScript(FakeProcessScript()
                         .write(100, "\r\nfirst\r\nsec")
                         .write(1500, "ond\r\nlast without end")
                         .exitAt(2500, 0));
    start({"AOne,10.0.0.1"});
    clock.advance(1000);
    EXPECT_EQ(run.records()[0].lines, QStringList({"", "first"}));
    clock.advance(1000);
    EXPECT_EQ(run.records()[0].lines, QStringList({"", "first", "second"}));
    clock.advance(1000);
    EXPECT_EQ(run.records()[0].lines, QStringList({"", "first", "second", "last without end"}));
}

TEST(TraceLinesTest, StoreStopsAtItsSizeAndAtTheEndMarker) {
    TraceRecord record;
    record.capacity = 5;
    record.begin(9, "10.0.0.10", 30, "T", QString());
    EXPECT_FALSE(StoreTraceLines(record, 9, {}));
    EXPECT_EQ(record.lines, QStringList({"(10） 路由跟踪10.0.0.10最多30 hops ......"}));

    const QStringList many = {"a", "b", "c", "d", "e", "f", "g"};
    ASSERT_TRUE(StoreTraceLines(record, 9, many));
    EXPECT_EQ(record.lineCount, 5);
    ASSERT_TRUE(StoreTraceLines(record, 9, {"跟踪完成。", "  =-=-=-= ", "after"}));
    // No start time: nothing to date.
    EXPECT_EQ(record.lines, QStringList({"(10） 跟踪完成。"}));
    EXPECT_EQ(record.lineCount, 1);
}

TEST_F(TraceRunTest, HundredTargetsKeepSixtyFourRunningUntilAllAreDone) {
    for (int i = 0; i < 100; ++i)
        runner.addScript(
            FakeProcessScript().write(50, "\r\nx\r\n").exitAt(500 + 1000 * (i % 7), 0));
    start({"CHundred,10.0.0.1,10.0.0.100"});
    ASSERT_EQ(runner.starts().size(), 64u);
    for (int tick = 0; tick < 30 && state.activityBusy(); ++tick) {
        clock.advance(1000);
        const qint32 finished = done();
        ASSERT_EQ(qint32(runner.starts().size()), std::min(100, 64 + finished));
        EXPECT_LE(runner.runningCount(), 64);
        for (size_t i = runner.starts().size(); i < 100; ++i) {
            EXPECT_TRUE(run.records()[i].jumpText.isEmpty());  // never started, never read
            EXPECT_EQ(run.records()[i].lineCount, 0);
        }
        if (finished > 0 && finished < 100) {
            EXPECT_EQ(titles.last(),
                      QString("跟踪路径到100 主机 ...       %1 completed.").arg(finished));
        }
    }
    EXPECT_FALSE(state.activityBusy());
    EXPECT_EQ(titles.last(), "跟踪路径到100 主机.       全部完成.");
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(runner.starts()[size_t(i)].arguments.last(), QString("10.0.0.%1").arg(i + 1));
        EXPECT_TRUE(runner.starts()[size_t(i)].options.outputFile.endsWith(
            QString("/TMP2026128104530%1.txt").arg(i)));
    }
}

TEST_F(TraceRunTest, StopKillsOnlyUnfinishedStartedTracesAndEndsTwoSecondsLater) {
    for (int i = 0; i < 3; ++i)
        runner.addScript(Trace("10.0.0.1", 500));
    runner.addScript(Running());
    runner.addScript(Running());
    start(Addresses(5));
    clock.advance(1000);
    run.StopTrace();
    EXPECT_EQ(stopButton, QList<bool>({false}));
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(runner.starts()[i].killed, i >= 3) << i;
    clock.advance(1999);
    EXPECT_TRUE(state.activityBusy());
    EXPECT_EQ(completions, 0);
    clock.advance(1);
    EXPECT_EQ(titles.last(), "跟踪路径到5 主机.       停止.");
    EXPECT_FALSE(state.activityBusy());
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(stopButton, QList<bool>({false, true}));
    EXPECT_TRUE(run.resultsAvailable());
    EXPECT_EQ(run.records()[3].line(1), "header");  // keeps what was read
    run.StopTrace();                                // after the end: nothing
    clock.runUntilIdle();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(runner.starts().size(), 5u);
}

TEST_F(TraceRunTest, StopWithTargetsStillWaitingStartsNoMore) {
    for (int i = 0; i < 70; ++i)
        runner.addScript(Running());
    start(Addresses(70));
    run.StopTrace();
    EXPECT_EQ(runner.killCount(), 64);
    clock.runUntilIdle();
    EXPECT_EQ(runner.starts().size(), 64u);
    EXPECT_EQ(titles.last(), "跟踪路径到70 主机.       停止.");
}

TEST_F(TraceRunTest, StopDuringTheLookUpEndsTheStartForGood) {
    testing::DeferredResolver deferred;
    deferred.names.insert("far.example", "10.0.0.9");
    TraceRun looking({runner, clock, prompts, deferred}, state, folder.path() + "/", Program);
    int ended = 0;
    QObject::connect(&looking, &TraceRun::stopCompleted, [&ended] { ++ended; });
    TargetRequest ask;
    ask.hasCurrentItem = true;
    ask.selectedEntries = {"AFar,far.example"};
    ASSERT_EQ(looking.StartTrace(ask, TraceOptions{}), StartResult::Starting);
    EXPECT_TRUE(looking.active());
    looking.StopTrace();
    EXPECT_FALSE(state.activityBusy());
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(deferred.answer(), 1);
    EXPECT_TRUE(runner.starts().empty());
    EXPECT_FALSE(state.activityBusy());
}

TEST_F(TraceRunTest, StartWhileAPingTestRunsChangesNothing) {
    state.EnterBusyState();
    state.runningActivity = Activity::Ping;
    EXPECT_EQ(start(Addresses(2)), StartResult::Busy);
    EXPECT_TRUE(titles.isEmpty());
    EXPECT_TRUE(runner.starts().empty());
    EXPECT_EQ(state.runningActivity, Activity::Ping);
    EXPECT_FALSE(QFileInfo::exists(tempFolder()));
    run.StopTrace();  // not ours to stop
    EXPECT_TRUE(state.activityBusy());
}

TEST_F(TraceRunTest, UnresolvedNamesAreReportedCutAndTheRestIsTraced) {
    QString group = "BMixed";
    QString listed;
    for (int i = 1; i <= 12; ++i) {
        group += QString(",bad%1.example").arg(i);
        listed += QString("\r\n       bad%1.example").arg(i);
    }
    start({group + ",10.0.0.1"});
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              "找不到下面 IP 地址12 主机:\r\n" + listed.left(20) + "  ........");
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(runner.starts().size(), 1u);
}

TEST_F(TraceRunTest, NoTargetEndsTheRunAtOnce) {
    start({"ANone,nowhere.example"});
    EXPECT_EQ(prompts.shown.size(), 1);  // the unresolved name
    EXPECT_FALSE(state.activityBusy());
    EXPECT_EQ(titles.last(), "");
    EXPECT_EQ(abandoned, 1);
    EXPECT_TRUE(runner.starts().empty());
    EXPECT_FALSE(run.active());
}

TEST_F(TraceRunTest, TheStartEmptiesOnlyItsOwnFolder) {
    const QString outside = folder.path() + "/outside";
    ASSERT_TRUE(QDir().mkpath(outside));
    WriteFile(outside + "/keep.txt", "keep");
    ASSERT_TRUE(QDir().mkpath(tempFolder()));
    WriteFile(tempFolder() + "/old.txt", "old");
    ASSERT_TRUE(QFile::link(outside, tempFolder() + "/inner"));
    start(Addresses(1));
    clock.runUntilIdle();
    EXPECT_FALSE(QFileInfo::exists(tempFolder() + "/old.txt"));
    EXPECT_TRUE(QFileInfo::exists(outside + "/keep.txt"));

    // The folder itself a link: the link goes, what it points to stays.
    ASSERT_TRUE(QDir(tempFolder()).removeRecursively());
    ASSERT_TRUE(QFile::link(outside, tempFolder()));
    start(Addresses(1));
    clock.runUntilIdle();
    EXPECT_TRUE(QFileInfo::exists(outside + "/keep.txt"));
    EXPECT_TRUE(QFileInfo(tempFolder()).isDir());
    EXPECT_FALSE(QFileInfo(tempFolder()).isSymLink());
}

TEST_F(TraceRunTest, AFolderThatCannotBeMadeEndsTheStartWithItsMessage) {
    const QString blocked = folder.path() + "/file";
    WriteFile(blocked, "not a folder");
    TraceRun blockedRun({runner, clock, prompts, resolver}, state, blocked, Program);
    TargetRequest ask;
    ask.hasCurrentItem = true;
    ask.selectedEntries = Addresses(1);
    blockedRun.StartTrace(ask, TraceOptions{});
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith("   CommandStart_Click"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(state.activityBusy());
    EXPECT_TRUE(runner.starts().empty());
}

TEST_F(TraceRunTest, AProgramThatDoesNotStartEndsItsTraceAndTheOthersGoOn) {
    runner.addScript(Trace("10.0.0.1", 500));
    FakeProcessScript broken;
    broken.failToStart = true;
    runner.addScript(broken);
    runner.addScript(Trace("10.0.0.3", 1500));
    start(Addresses(3));
    clock.advance(1000);
    EXPECT_TRUE(run.records()[1].done);
    EXPECT_EQ(run.records()[1].lineCount, 0);
    EXPECT_EQ(run.records()[1].line(0), "(2） 路由跟踪10.0.0.2最多30 hops ......");
    EXPECT_FALSE(run.records()[2].done);
    clock.advance(1000);
    EXPECT_EQ(titles.last(), "跟踪路径到3 主机.       全部完成.");
}

TEST_F(TraceRunTest, JumpListsSplitFinishedFromRunningAndAClickShowsTheTarget) {
    runner.addScript(Trace("10.0.0.1", 500));
    runner.addScript(Running());
    runner.addScript(Running());
    start({"AOne,10.0.0.1", "ATwo,10.0.0.2", "AThree,10.0.0.3"});
    clock.advance(1000);
    EXPECT_EQ(run.jumpItems(1), QStringList({TraceJumpText("One", 0)}));
    const QStringList running = run.jumpItems(0);
    EXPECT_EQ(running, QStringList({TraceJumpText("Two", 1), TraceJumpText("Three", 2)}));
    EXPECT_EQ(TraceJumpToolTip(running[1]), "Three");

    run.jumpItemClicked(running[1]);
    const qint64 rowsBefore = run.records()[0].lineCount + 1 + run.records()[1].lineCount + 1;
    EXPECT_EQ(firstRow, rowsBefore);
    EXPECT_EQ(shownRows[0], run.records()[2].line(0));
    run.jumpItemClicked("no number here");
    EXPECT_EQ(firstRow, rowsBefore);
}

TEST_F(TraceRunTest, RunningTracesOutOfViewAreReadOnceTheyAreShown) {
    for (int i = 0; i < 30; ++i)
        runner.addScript(Running());
    start(Addresses(30));
    clock.advance(1000);
    for (size_t i = 0; i < 30; ++i)
        EXPECT_EQ(run.records()[i].lineCount, i < 20 ? 2 : 0) << i;  // 20 rows, one per target
    run.showFromRow(run.totalRows() - 1);
    EXPECT_EQ(shownRows[0], run.records()[29].line(0));
    clock.advance(1000);
    EXPECT_EQ(run.records()[29].lineCount, 2);
    EXPECT_EQ(run.records()[20].lineCount, 0);
}

TEST(TraceLinesTest, RowsRunThroughEachTargetAndItsClosingRow) {
    std::vector<TraceRecord> records(3);
    records[0].lines = {" a ", "b"};
    records[0].lineCount = 2;
    records[1].lines = {"c"};
    for (int i = 0; i < 30; ++i)
        records[2].lines << QString::number(i);
    records[2].lineCount = 30;

    const TraceRows top = ShowTraceRows(records, {0, 0});
    EXPECT_EQ(top.rows.mid(0, 6), QStringList({"a", "b", "", "c", "0", "1"}));
    EXPECT_EQ(top.rows.size(), TraceRowsShown);
    const TraceRows tail = ShowTraceRows(records, {2, 27});
    EXPECT_EQ(tail.rows.mid(0, 5), QStringList({"27", "28", "29", "", ""}));
    EXPECT_EQ(tail.lastTarget, 2);
    EXPECT_EQ(ShowTraceRows(records, {0, 5}).rows[0], "c");  // past a target's end: the next

    EXPECT_EQ(TraceRowCount(records), 3 + 1 + 31);
    EXPECT_EQ(TraceRowAt(records, 4).target, 2);
    EXPECT_EQ(TraceRowOf(records, {2, 3}), 7);
    EXPECT_EQ(TraceRowOf(records, TraceRowAt(records, 9999)), TraceRowCount(records) - 1);
}

TEST_F(TraceRunTest, ReloadReadsTheLastRunsFilesAsFinishedTraces) {
    const QString base = folder.path() + "/TMP20261281045";
    WriteFile(base + "0.txt", QStringLiteral("\r\n通过最多 30 个跃点跟踪到 10.0.0.1 的路由:\r\n"
                                             "\r\n  1  <1 毫秒  10.0.0.1\r\n\r\n跟踪完成。")
                                  .toUtf8());
    QStringEncoder gbk("GB18030");
    WriteFile(base + "1.txt", QByteArray(gbk.encode(QStringLiteral("跟踪完成。\r\n"))));
    ASSERT_TRUE(QDir().mkpath(base + "2.txt"));                                   // a folder
    ASSERT_EQ(::mkfifo(QFile::encodeName(base + "3.txt").constData(), 0600), 0);  // no writer

    ASSERT_TRUE(run.ReloadPreviousTrace(base, 5, 30));
    EXPECT_EQ(titles.last(), "跟踪路径到5 hosts.");
    EXPECT_EQ(state.runningActivity, Activity::Trace);
    EXPECT_FALSE(state.activityBusy());
    ASSERT_EQ(run.records().size(), 5u);
    EXPECT_EQ(run.records()[0].lineCount, 6);
    EXPECT_EQ(run.records()[0].line(5), "(1） 跟踪完成。");  // no start time: not dated
    EXPECT_EQ(run.records()[1].lines, QStringList({"(2） 跟踪完成。"}));
    for (size_t i = 2; i < 5; ++i)
        EXPECT_EQ(run.records()[i].lineCount, 0);
    EXPECT_TRUE(run.resultsAvailable());
    EXPECT_TRUE(run.jumpItems(0).isEmpty());
    EXPECT_EQ(shownRows[1], run.records()[0].line(1));

    EXPECT_FALSE(run.ReloadPreviousTrace(base, 0, 30));
    EXPECT_FALSE(run.ReloadPreviousTrace("", 3, 30));
}

TEST(TraceLinesTest, AHugeOutputFileIsReadOnlyAsFarAsTheStoreHolds) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/big.txt";
    WriteFile(path, QByteArray("line\r\n").repeated(int(MaxTraceOutputBytes / 6 + 1000)));
    TraceRecord record;
    record.capacity = 39;
    ASSERT_TRUE(ReadTraceOutput(record, 0, path, true));
    EXPECT_EQ(record.lineCount, 39);
    EXPECT_FALSE(ReadTraceOutput(record, 0, dir.path() + "/missing.txt", true));
}

// Two hundred targets, with a host list that a shell would have run: every start is our own
// program with plain arguments, never more than 64 at once.
TEST_F(TraceRunTest, TwoHundredTargetsWithShellTextsRunAsPlainArguments) {
    start({"CMany,10.0.0.1,10.0.0.200"}, {"", "1.1.1.1;reboot $(id)", ""});
    ASSERT_EQ(runner.starts().size(), 64u);
    clock.runUntilIdle();
    ASSERT_EQ(runner.starts().size(), 200u);
    for (const FakeProcessRunner::Start& s : runner.starts()) {
        EXPECT_EQ(s.program, Program);
        EXPECT_EQ(s.arguments.mid(0, 4), QStringList({"-d", "-j", "1.1.1.1;reboot", "$(id)"}));
    }
    EXPECT_EQ(titles.last(), "跟踪路径到200 主机.       全部完成.");
    EXPECT_FALSE(state.activityBusy());
}

}  // namespace
}  // namespace sondrel
