#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <new>

#include "engine/ping_test.h"
#include "engine/result_log_reload.h"
#include "engine/test_parameters.h"
#include "support/deferred_resolver.h"
#include "support/engine_rig.h"
#include "support/fake_clock.h"
#include "support/fake_echo.h"
#include "support/file_size_limit.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

using testing::FakeClock;
using testing::FakeEcho;
using testing::FakeResolver;
using testing::RecordingPrompts;

class PingTestRun : public ::testing::Test, protected testing::EngineRig {
  protected:
    PingTestRun() {
        QObject::connect(&test, &PingTest::replyShown,
                         [this](qint32 i, const QString& p, const QString& d) {
                             shown << QString::number(i + 1) + ". " + p + "  " + d;
                         });
        QObject::connect(&test, &PingTest::stopCompleted, [this] { ++completions; });
    }

    StartResult startSingle(const QString& text) {
        request = TargetRequest{};
        request.manualSingle = text;
        request.textPing = text;
        return test.CommandStart_Click(request);
    }
    QByteArray readFile(const QString& name) {
        QFile f(folder.path() + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Gaps between the starts of consecutive rounds (first probe of each round).
    QList<qint64> roundGaps(int probesPerRound) {
        QList<qint64> gaps;
        qint64 previous = 0;
        for (qsizetype i = 0; i < echo.sent.size(); i += probesPerRound) {
            gaps << echo.sent[i].at - previous;
            previous = echo.sent[i].at;
        }
        return gaps;
    }

    QStringList shown;
    int completions = 0;
};

TEST_F(PingTestRun, ThreeTargetsRepeatTwoProbeInListOrder) {
    set("1000", "32", "1", "2");
    ASSERT_EQ(start({"AOne,10.0.0.1", "ATwo,10.0.0.2", "AThree,10.0.0.3"}), StartResult::Starting);
    EXPECT_TRUE(state.activityBusy());
    clock.runUntilIdle();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"10.0.0.1", "10.0.0.1", "10.0.0.2", "10.0.0.2",
                                                 "10.0.0.3", "10.0.0.3"}));
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(state.activityBusy());
    EXPECT_EQ(test.statusLine(), QStringLiteral("侦测测试32 字节数据:            3  IP "));
}

TEST_F(PingTestRun, FourRoundsThenStopWithLogsClosedWhole) {
    set("1000", "32", "4", "1");
    echo.defaultRtt = 3;
    startSingle("127.0.0.1");
    clock.runUntilIdle();
    ASSERT_EQ(echo.sent.size(), 4);
    EXPECT_EQ(roundGaps(1), QList<qint64>({99, 1000, 1000, 1000}));
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(echo.opened, 1);
    EXPECT_EQ(echo.closed, 1);
    const QList<QByteArray> lines = readFile("Quibbet_DB3.txt").split('\n');
    ASSERT_EQ(lines.size(), 6);  // header, four probes, nothing after the last CR LF
    EXPECT_EQ(lines[0], "1,1,1\r");
    EXPECT_EQ(lines[1], "2026,05,03,14,22,07,127.0.0.1,32,3,64,0\r");
    EXPECT_EQ(lines[4], "2026,05,03,14,22,10,127.0.0.1,32,3,64,0\r");
    EXPECT_EQ(readFile("Quibbet_DB4.txt"), "127.0.0.1,\r\n");
    EXPECT_EQ(shown.last(),
              QStringLiteral("4. 05/03 14:22:10   回覆 127.0.0.1  bytes=32  时间=3ms  TTL=64  ok"));
    EXPECT_EQ(test.summary()[0], "4");
}

TEST_F(PingTestRun, ContinuallyNeverStopsByItself) {
    set("10", "32", "Continually", "1");
    startSingle("127.0.0.1");
    clock.advance(60'000);
    EXPECT_GT(echo.sent.size(), 5000);
    EXPECT_EQ(completions, 0);
    test.CommandStop_Click();
    clock.advance(1000);
    EXPECT_EQ(completions, 1);
}

TEST_F(PingTestRun, SteppedIntervalGapsAndResetAfterStop) {
    params.setText(ParameterBox::Interval, "1000 to 0, 100--, 1");
    set(params.text(ParameterBox::Interval), "32", "14", "1");
    startSingle("127.0.0.1");
    clock.runUntilIdle();
    EXPECT_EQ(roundGaps(1),
              QList<qint64>({99, 900, 800, 700, 600, 500, 400, 300, 200, 100, 1, 1, 1, 1}));
    EXPECT_EQ(params.run().timerInterval, 1000);
}

TEST_F(PingTestRun, SteppedIntervalTwoRoundsPerValue) {
    params.setText(ParameterBox::Interval, "1000 to 0, 100--, 2");
    set(params.text(ParameterBox::Interval), "32", "22", "1");
    startSingle("127.0.0.1");
    clock.runUntilIdle();
    EXPECT_EQ(roundGaps(1), QList<qint64>({99,  1000, 900, 900, 800, 800, 700, 700, 600, 600, 500,
                                           500, 400,  400, 300, 300, 200, 200, 100, 100, 1,   1}));
}

TEST_F(PingTestRun, LongRoundDelaysTheNextWithoutOverlap) {
    set("100", "32", "3", "2");
    echo.defaultRtt = 80;  // a round of two probes takes 160 ms, longer than the interval
    startSingle("127.0.0.1");
    clock.runUntilIdle();
    QList<qint64> starts;
    for (const auto& s : echo.sent)
        starts << s.at;
    EXPECT_EQ(starts, QList<qint64>({99, 179, 259, 339, 419, 499}));
}

TEST_F(PingTestRun, SizeListLastsFourRoundsEachAndStartsOver) {
    set("1000", QStringLiteral("16,32,64,1024 字节"), "17", "1");
    start({"AOne,10.0.0.1", "ATwo,10.0.0.2"});
    clock.runUntilIdle();
    QList<int> sizes;
    for (const auto& s : echo.sent)
        sizes << s.size;
    ASSERT_EQ(sizes.size(), 34);
    EXPECT_EQ(sizes.mid(0, 8), QList<int>(8, 16));
    EXPECT_EQ(sizes.mid(8, 8), QList<int>(8, 32));
    EXPECT_EQ(sizes.mid(24, 8), QList<int>(8, 1024));
    EXPECT_EQ(sizes.mid(32, 2), QList<int>(2, 16));  // starts over after 1024
    EXPECT_TRUE(readFile("Quibbet_DB3.txt").startsWith("2,8,1\r\n"));
}

TEST_F(PingTestRun, StopDuringLastProbeOfRoundCompletesItAndSkipsTheRest) {
    set("1000", "32", "Continually", "1");
    echo.setReply("10.0.0.1", EchoStatus::TimedOut);
    params.setText(ParameterBox::TimeOut, "2000");
    start({"AOne,10.0.0.2", "ATwo,10.0.0.1", "AThree,10.0.0.3"});
    clock.advance(99 + 500);  // round 1: the probe to 10.0.0.1 waits for its time-out
    ASSERT_EQ(echo.sent.size(), 2);
    test.CommandStop_Click();
    clock.advance(1000);  // two stop-timer ticks pass while the probe still waits
    EXPECT_EQ(completions, 0);
    EXPECT_TRUE(state.activityBusy());
    clock.advance(600);  // the time-out ends the probe; the next stop-timer tick completes
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(echo.sent.size(), 2);
    EXPECT_EQ(test.statistics().sentCount, 2);
    EXPECT_EQ(shown.last().right(12), QStringLiteral("bytes=32  请求超时。").right(12));
    EXPECT_EQ(readFile("Quibbet_DB3.txt").count('\n'), 3);
}

TEST_F(PingTestRun, UnresolvedNamesAreReportedAndTheRestRuns) {
    set("1000", "32", "1", "1");
    resolver.names.insert("known", "10.0.0.7");
    start({"BGroup,known,nowhere1,nowhere2"});
    clock.runUntilIdle();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(
        prompts.shown[0].text,
        QStringLiteral("找不到下面 IP 地址2 主机:\r\n\r\n       nowhere1\r\n       nowhere2"));
    EXPECT_EQ(echo.sentAddresses(), QStringList{"10.0.0.7"});
    EXPECT_EQ(readFile("Quibbet_DB4.txt"), "known / 10.0.0.7,\r\n");
}

TEST_F(PingTestRun, TenUnresolvedNamesAreCutAndNothingStarts) {
    set("1000", "32", "1", "1");
    QString group = "BMany";
    for (int i = 0; i < 10; ++i)
        group += ",gone" + QString::number(i);
    start({group});
    clock.runUntilIdle();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("找不到下面 IP 地址10 主机:\r\n\r\n       gone0\r\n      ........"));
    EXPECT_TRUE(echo.sent.isEmpty());
    EXPECT_FALSE(state.activityBusy());
}

TEST_F(PingTestRun, RefusedChecksAndBusyStartChangeNothing) {
    set("1000", "32", "1", "1");
    params.setText(ParameterBox::RepIP, "abc");
    prompts.clear();
    EXPECT_EQ(startSingle("127.0.0.1"), StartResult::Refused);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Inalid 每个 IP 重复值。")});
    params.setText(ParameterBox::RepIP, "1");
    state.EnterBusyState();  // a trace or scan runs
    EXPECT_EQ(startSingle("127.0.0.1"), StartResult::Busy);
    clock.runUntilIdle();
    EXPECT_TRUE(echo.sent.isEmpty());
}

TEST_F(PingTestRun, NoRightToSendShowsOneMessageAndDoesNotStart) {
    set("1000", "32", "1", "1");
    echo.openError = "no ICMP socket";
    bool abandoned = false;
    QObject::connect(&test, &PingTest::startAbandoned, [&] { abandoned = true; });
    startSingle("127.0.0.1");
    clock.runUntilIdle();
    EXPECT_TRUE(abandoned);
    EXPECT_EQ(prompts.texts(), QStringList{"no ICMP socket"});
    EXPECT_FALSE(state.activityBusy());
    EXPECT_FALSE(QFile::exists(folder.path() + "/Quibbet_DB3.txt"));
}

TEST_F(PingTestRun, InvalidAddressTextIsRecordedWithoutSending) {
    set("1000", "32", "1", "1");
    start({"AOne,10.0.0.300"});
    clock.runUntilIdle();
    EXPECT_TRUE(echo.sent.isEmpty());
    EXPECT_EQ(test.records().at(0).status, -1);
    EXPECT_TRUE(shown.last().endsWith(QStringLiteral("bytes=32  inet_addr： IP 格式不正确")));
}

TEST_F(PingTestRun, TwentyFirstProbeIsNumberedAfterTheWrapOfRows) {
    set("10", "32", "21", "1");
    startSingle("127.0.0.1");
    clock.runUntilIdle();
    ASSERT_EQ(shown.size(), 21);
    EXPECT_TRUE(shown[20].startsWith("21. "));
}

TEST_F(PingTestRun, RecordsWrapAfterOneHundredThousandProbes) {
    set("1", "32", "1001", "100");
    start({"AOne,10.0.0.1"});
    clock.runUntilIdle();
    EXPECT_EQ(test.statistics().sentCount, 100100);
    EXPECT_EQ(test.records().size(), 100);
    EXPECT_EQ(test.records().index(), 100);
}

TEST_F(PingTestRun, ReloadRebuildsStatisticsAndFirstRows) {
    QFile log(folder.path() + "/Quibbet_DB3.txt");
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("2,1,1\r\n");
    const int times[] = {10, 20, -1, 0, 30};
    for (int i = 0; i < 5; ++i)
        log.write(QByteArray("2010,05,03,14,22,0") + QByteArray::number(i) + ",10.0.0." +
                  QByteArray::number(i % 2 + 1) + ",32," + QByteArray::number(times[i]) +
                  (times[i] < 0 ? ",0,11010\r\n" : ",64,0\r\n"));
    log.close();
    QFile table(folder.path() + "/Quibbet_DB4.txt");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("10.0.0.1,first\r\nweb / 10.0.0.2,\r\n");
    table.close();

    test.ReloadPreviousPing();
    EXPECT_EQ(test.summary(),
              (SummaryTexts{"5", "4", "1", "20.00 %", "1 ms", "30 ms", "15 ms", "64"}));
    ASSERT_EQ(shown.size(), 5);
    EXPECT_EQ(shown[3],
              QStringLiteral("4. 05/03 14:22:03   回覆 10.0.0.2  bytes=32  time<1ms  TTL=64  ok"));
    EXPECT_EQ(test.targets().targetShow, QStringList({"10.0.0.1", "web / 10.0.0.2"}));
    EXPECT_EQ(test.targets().targetTitle, QStringList({"first", ""}));
    EXPECT_EQ(test.targets().targetIP, QStringList({"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(test.statusLine(), QStringLiteral("上一个侦测测试结果"));
    EXPECT_EQ(test.records().index(), 4);
}

TEST_F(PingTestRun, LargeLogAsksBeforeReloading) {
    QFile log(folder.path() + "/Quibbet_DB3.txt");
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("1,1,1\r\n");
    for (int i = 0; i < 30000; ++i)
        log.write("2010,05,03,14,22,07,10.0.0.1,32,15,128,0\r\n");
    log.close();
    test.ReloadPreviousPing();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("加载之前侦测测试日志吗？")});
    EXPECT_TRUE(shown.isEmpty());
    prompts.answer = true;
    test.ReloadPreviousPing();
    EXPECT_EQ(test.statistics().sentCount, 30000);
}

TEST_F(PingTestRun, RangeOfMillionsIsRefusedWithOneMessage) {
    set("1000", "32", "1", "1");
    bool abandoned = false;
    QObject::connect(&test, &PingTest::startAbandoned, [&] { abandoned = true; });
    start({"CAll,0.0.0.0,255.255.255.255"});
    clock.runUntilIdle();
    EXPECT_EQ(prompts.texts(),
              QStringList{QStringLiteral(
                  "选择的目标超过 1048576 个地址，请缩小范围。   CommandStart_Click")});
    EXPECT_TRUE(abandoned);
    EXPECT_FALSE(state.activityBusy());
    EXPECT_EQ(echo.opened, 0);
    EXPECT_TRUE(echo.sent.isEmpty());
    EXPECT_EQ(test.targets().count(), 0);
}

TEST_F(PingTestRun, FullDiskKeepsWholeLinesAndEndsProbingWithTheSystemsText) {
    set("1000", "32", "5", "1");
    {
        // The header (7 bytes), two probe lines (41 bytes each) and half of a third fit.
        testing::FileSizeLimit limit(7 + 2 * 41 + 20);
        ASSERT_TRUE(limit.active());
        startSingle("127.0.0.1");
        clock.advance(99 + 3 * 1000 + 100);
    }
    EXPECT_EQ(echo.sent.size(), 3);  // the third probe could not be logged; no probe after it
    ASSERT_EQ(prompts.texts().size(), 1);
    const QString message = prompts.texts().constFirst();
    EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << message.toStdString();
    EXPECT_FALSE(message.contains("Unknown error"));
    EXPECT_TRUE(message.endsWith(QStringLiteral("    侦测_IP")));
    test.CommandStop_Click();
    clock.runUntilIdle();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(prompts.texts().size(), 1);
    const QByteArray log = readFile("Quibbet_DB3.txt");
    EXPECT_EQ(log.count('\n'), 3);
    EXPECT_TRUE(log.endsWith("\r\n"));
    ReloadedRun run;
    ASSERT_TRUE(ReadRunLog(folder.path() + "/Quibbet_DB3.txt", run));
    EXPECT_EQ(run.records.size(), 2u);
}

TEST_F(PingTestRun, UnreadableHeaderIsNoPreviousRun) {
    QFile log(folder.path() + "/Quibbet_DB3.txt");
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("x,1,1\r\n2010,05,03,14,22,07,10.0.0.1,32,15,128,0\r\n");
    log.close();
    bool linkShown = false;
    QObject::connect(&test, &PingTest::reportLinkShown, [&](bool on) { linkShown = on; });
    test.ReloadPreviousPing();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(linkShown);
    EXPECT_EQ(test.statusLine(), QString());
    EXPECT_EQ(test.targets().count(), 0);
}

// A reply sink that records what the run hands it and refuses the rows it is told to.
class RecordingSink final : public ReplySink {
  public:
    explicit RecordingSink(QStringList& calls, qint32 failing = 0)
        : calls_(calls), failing_(failing) {}
    QString create(const RunLogHeader& header, const ExpandedTargets& targets) override {
        calls_ << QStringLiteral("create %1,%2 %3")
                      .arg(header.targetCount)
                      .arg(header.repeatPerIP)
                      .arg(targets.targetIP.join(' '));
        return {};
    }
    QString append(const ReplyRecord&, qint32 target) override {
        calls_ << QStringLiteral("append %1").arg(target);
        return {};
    }
    QString flush() override {
        calls_ << "flush";
        return {};
    }
    QString close() override {
        calls_ << "close";
        closed_ = true;
        return {};
    }
    qint32 failedCount() const override { return closed_ ? failing_ : 0; }

  private:
    QStringList& calls_;
    qint32 failing_;
    bool closed_ = false;
};

TEST_F(PingTestRun, AnotherReplySinkTakesTheRunAndReportsItsFailuresAtTheEnd) {
    QStringList calls;
    test.setReplySinkFactory([&] { return std::make_unique<RecordingSink>(calls, 2); });
    set("1000", "32", "1", "2");
    start({"AOne,10.0.0.1", "ATwo,10.0.0.2"});
    clock.runUntilIdle();
    EXPECT_EQ(calls, QStringList({"create 2,2 10.0.0.1 10.0.0.2", "append 0", "append 0",
                                  "append 1", "append 1", "flush", "close"}));
    EXPECT_EQ(test.failedInsertCount(), 2);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("输入2侦测测试 rescords 失败。")});
    EXPECT_TRUE(readFile("Quibbet_DB3.txt").isEmpty());  // the result logs are left alone
    EXPECT_EQ(completions, 1);
}

// The newest 100,000 lines of a longer log still know which target each one probed.
TEST_F(PingTestRun, ReloadOfALongLogAttributesEveryRecordToItsTarget) {
    QByteArray text("2,1,1\r\n");
    const int lines = ReplyRecords::Capacity + 3;
    text.reserve(lines * 42);
    for (int i = 0; i < lines; ++i)
        text += "2010,05,03,14,22,07,10.0.0." + QByteArray::number(i % 2 + 1) + ",32,1,64,0\r\n";
    QFile log(folder.path() + "/Quibbet_DB3.txt");
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write(text);
    log.close();
    QFile table(folder.path() + "/Quibbet_DB4.txt");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("10.0.0.1,\r\n10.0.0.2,\r\n");
    table.close();
    prompts.answer = true;  // the log is large: load it
    test.ReloadPreviousPing();
    const RunResults run = test.results();
    ASSERT_EQ(run.records.size(), ReplyRecords::Capacity);
    for (const qint32 i : {0, 1, 2, 99999})
        EXPECT_EQ(run.targetOf(i) + 1,
                  run.records.at(i).addressText().trimmed().section('.', 3).toInt())
            << i;
}

// An echo whose opening runs out of memory.
class ExhaustedEcho final : public EchoTransport {
  public:
    QString open() override { throw std::bad_alloc(); }
    void close() override {}
    void send(const EchoRequest&, Done) override {}
};

// A ping test whose names are answered only when the test says so.
class PingTestLookUp : public ::testing::Test {
  protected:
    PingTestLookUp() {
        params.FillParameterLists();
        params.setText(ParameterBox::Interval, "1000");
        params.setText(ParameterBox::Size, "32");
        params.setText(ParameterBox::Times, "1");
        params.setText(ParameterBox::RepIP, "1");
        resolver.names.insert("slow.test", "10.0.0.9");
        QObject::connect(&test, &PingTest::stopCompleted, [this] { ++completions; });
        QObject::connect(&test, &PingTest::started, [this] { ++starts; });
    }
    StartResult start(const QStringList& entries) {
        request = TargetRequest{};
        request.hasCurrentItem = true;
        request.selectedEntries = entries;
        return test.CommandStart_Click(request);
    }

    QTemporaryDir folder;
    FakeClock clock;
    FakeEcho echo{clock};
    testing::DeferredResolver resolver;
    RecordingPrompts prompts;
    CancellingDialogs dialogs;
    RunState state;
    TestParameters params{prompts, dialogs};
    PingTest test{{echo, resolver, clock, prompts}, state, params, folder.path() + "/"};
    TargetRequest request;
    int completions = 0;
    int starts = 0;
};

TEST_F(PingTestLookUp, StopWhileNamesAreLookedUpEndsTheStartForGood) {
    ASSERT_EQ(start({"ASlow,slow.test"}), StartResult::Starting);
    EXPECT_TRUE(state.activityBusy());
    bool stopEnabled = false;
    QObject::connect(&test, &PingTest::stopButtonEnabled, [&](bool on) { stopEnabled = on; });
    test.CommandStop_Click();
    EXPECT_EQ(completions, 1);  // nothing was opened: the stop completes at once
    EXPECT_TRUE(stopEnabled);
    EXPECT_FALSE(state.activityBusy());
    clock.runUntilIdle();
    EXPECT_EQ(resolver.answer(), 1);  // the answers come after the stop
    clock.runUntilIdle();
    EXPECT_EQ(starts, 0);
    EXPECT_FALSE(test.running());
    EXPECT_FALSE(state.activityBusy());
    EXPECT_TRUE(echo.sent.isEmpty());
    EXPECT_EQ(echo.opened, 0);
    EXPECT_FALSE(QFile::exists(folder.path() + "/Quibbet_DB3.txt"));
    EXPECT_EQ(completions, 1);

    // The next start runs normally.
    ASSERT_EQ(start({"ASlow,slow.test"}), StartResult::Starting);
    EXPECT_EQ(resolver.answer(), 1);
    clock.runUntilIdle();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(echo.sentAddresses(), QStringList{"10.0.0.9"});
    EXPECT_EQ(completions, 2);
    EXPECT_FALSE(state.activityBusy());
}

TEST_F(PingTestLookUp, AnswersAfterALaterBusyStateNeverStartTheOldRequest) {
    start({"ASlow,slow.test"});
    test.CommandStop_Click();
    state.EnterBusyState();  // a trace starts meanwhile
    resolver.answer();
    clock.runUntilIdle();
    EXPECT_EQ(starts, 0);
    EXPECT_TRUE(echo.sent.isEmpty());
    state.LeaveBusyState();
}

TEST_F(PingTestLookUp, OutOfMemoryInTheStartBecomesItsMessage) {
    ExhaustedEcho exhausted;
    PingTest failing{{exhausted, resolver, clock, prompts}, state, params, folder.path() + "/"};
    bool abandoned = false;
    QObject::connect(&failing, &PingTest::startAbandoned, [&] { abandoned = true; });
    request = TargetRequest{};
    request.manualSingle = "127.0.0.1";
    ASSERT_EQ(failing.CommandStart_Click(request), StartResult::Starting);
    EXPECT_NO_THROW(resolver.answer());
    ASSERT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(prompts.texts()[0].endsWith(QStringLiteral("   CommandStart_Click")));
    EXPECT_TRUE(prompts.texts()[0].contains("bad_alloc"));
    EXPECT_TRUE(abandoned);
    EXPECT_FALSE(state.activityBusy());
}

}  // namespace
}  // namespace sondrel
