#include "scan/scan_run.h"

#include <gtest/gtest.h>

#include "common/resolver.h"
#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

using testing::FakeClock;
using testing::FakeProcessRunner;
using testing::RecordingPrompts;

class NumericResolver final : public Resolver {
  public:
    QString hostNameToAddress(const QString& name) override {
        return name == QStringLiteral("alpha") ? QStringLiteral("10.0.0.9") : QString();
    }
    QString localHostAddress() override { return QStringLiteral("10.0.0.5"); }
};

// A scan over fakes: workers never run, reports are handed in by the test, the two commands of
// the finish answer from `arp` and `sysfs`.
struct ScanRig {
    FakeClock clock;
    FakeProcessRunner processes{clock};
    RecordingPrompts prompts;
    NumericResolver resolver;
    RunState state;
    QStringList commands;
    QString arp;
    QString sysfs = QStringLiteral("aa:bb:cc:dd:ee:0f\n");
    std::unique_ptr<ScanRun> run;

    ScanRig() {
        ScanRun::Services services{{processes, clock, prompts, resolver}, {}, {}, {}};
        services.runCommand = [this](const QString& line,
                                     const std::function<void(const QString&)>& receive) {
            commands << line;
            const QString text = line.contains(QStringLiteral("arp")) ? arp : sysfs;
            for (qsizetype at = 0; at < text.size(); at += 100)
                receive(text.mid(at, 100));
            receive(QString());
        };
        services.localAddress = [] { return QStringLiteral("10.0.0.5"); };
        services.interfaceOfAddress = [](const QString&) { return QStringLiteral("lan0"); };
        run =
            std::make_unique<ScanRun>(services, state, QStringLiteral("/data/Kestrune2008112.exe"),
                                      QStringLiteral("4242"), QStringLiteral("/run/x"));
    }

    void startRange(const QString& from, const QString& to) {
        TargetRequest request;
        ASSERT_EQ(run->StartScan(request, QStringLiteral("Cr,") + from + QLatin1Char(',') + to),
                  StartResult::Starting);
    }
    QStringList column(int which) const {
        QStringList out;
        for (const ScanRowView& row : run->rows()) {
            const QString texts[] = {row.number, row.address, row.ping, row.host, row.mac, row.ttl};
            out << texts[which];
        }
        return out;
    }
};

TEST(ScanRun, StartsOneWorkerPerAddressTenMillisecondsApart) {
    ScanRig rig;
    rig.startRange(QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.3"));
    EXPECT_TRUE(rig.state.activityBusy());
    EXPECT_EQ(rig.state.runningActivity, Activity::Scan);
    ASSERT_EQ(rig.processes.starts().size(), 1u);
    rig.clock.advance(10);
    ASSERT_EQ(rig.processes.starts().size(), 2u);
    rig.clock.advance(20);
    ASSERT_EQ(rig.processes.starts().size(), 3u);
    const auto& start = rig.processes.starts()[2];
    EXPECT_EQ(start.program, QStringLiteral("/data/Kestrune2008112.exe"));
    EXPECT_EQ(start.arguments, QStringList({QStringLiteral("4242,10.0.0.3,2,,,,,350")}));
    EXPECT_EQ(start.options.extraEnvironment.value(QStringLiteral("SONDREL_SCAN_REPORT_DIR")),
              QStringLiteral("/run/x"));
    EXPECT_EQ(rig.run->labelTotal(), QStringLiteral("3"));
    EXPECT_EQ(rig.run->text2(), QStringLiteral("扫描..."));
    EXPECT_EQ(rig.run->rows()[0].ping, QStringLiteral("侦测 ..."));
    EXPECT_EQ(rig.run->rows()[0].colour, ScanColour::Pending);
}

TEST(ScanRun, FiveAddressesTwoAnsweringFinishOnTheSecondTickThatSeesOk) {
    ScanRig rig;
    rig.arp = QStringLiteral(
        "IP address       HW type     Flags       HW address            Mask     Device\n"
        "10.0.0.3         0x1         0x2         02:00:00:00:00:03     *        lan0\n"
        "10.0.0.4         0x1         0x0         00:00:00:00:00:00     *        lan0\n");
    rig.startRange(QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.5"));
    rig.clock.advance(60);
    rig.run->ReceiveScanReport(QStringLiteral("1,3,64,beta,00-1A-2B-3C-4D-5E"));
    rig.run->ReceiveScanReport(QStringLiteral("3,7,64,,"));
    for (const char* silent : {"0,无效", "2,无效", "4,无效"})
        rig.run->ReceiveScanReport(QString::fromUtf8(silent));
    EXPECT_EQ(rig.run->text2(), QStringLiteral("扫描...0"));
    rig.clock.advance(500);  // draws, sees "OK" set by the drawing at the next tick
    EXPECT_EQ(rig.run->text2(), QStringLiteral("OK"));
    EXPECT_EQ(rig.column(0), (QStringList{"1.", "2.", "3.", "4.", "5."} + QStringList(16, {})));
    EXPECT_EQ(rig.run->rows()[1].ping, QStringLiteral("3 ms"));
    EXPECT_EQ(rig.run->rows()[1].colour, ScanColour::Answered);
    EXPECT_EQ(rig.run->rows()[0].ping, QStringLiteral("无效"));
    EXPECT_EQ(rig.run->rows()[0].colour, ScanColour::Silent);
    EXPECT_EQ(rig.run->rows()[5].colour, ScanColour::Cleared);
    EXPECT_EQ(rig.run->labelActive(), QStringLiteral("2"));
    EXPECT_EQ(rig.run->labelInactive(), QStringLiteral("3"));
    EXPECT_TRUE(rig.state.activityBusy());
    rig.clock.advance(1000);
    EXPECT_FALSE(rig.state.activityBusy());
    EXPECT_TRUE(rig.run->finished());
    EXPECT_EQ(rig.commands, QStringList({QStringLiteral("cat /proc/net/arp"),
                                         QStringLiteral("cat /sys/class/net/lan0/address")}));
    const ScanTable& kept = rig.run->ScanResultsKept();
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(kept[1].MacAddress, QStringLiteral("00-1A-2B-3C-4D-5E"));  // from the report
    EXPECT_EQ(kept[2].MacAddress, QStringLiteral("02-00-00-00-00-03"));  // silent, in the table
    EXPECT_EQ(kept[3].MacAddress, QString());                            // incomplete entry
    EXPECT_EQ(kept[4].MacAddress, QStringLiteral("AA-BB-CC-DD-EE-0F"));  // own address
    EXPECT_TRUE(rig.run->text2().startsWith(QStringLiteral("扫描完成：")));
    EXPECT_TRUE(rig.run->text2().endsWith(QStringLiteral("  第二次    ")));
}

TEST(ScanRun, ReportEdgeCasesChangeOnlyWhatTheyCan) {
    ScanRig rig;
    rig.startRange(QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.5"));
    rig.clock.advance(60);
    rig.run->ReceiveScanReport(QStringLiteral("3,12,64,alpha,00-1A-2B-3C-4D-5E"));
    rig.run->ReceiveScanReport(QStringLiteral("4,无效"));
    rig.run->ReceiveScanReport(QStringLiteral("2,5,64"));        // three fields
    rig.run->ReceiveScanReport(QStringLiteral("77,9,64,far,"));  // outside the table
    const ScanTable& table = rig.run->ScanResults();
    EXPECT_EQ(table[3].HostName, QStringLiteral("alpha"));
    EXPECT_EQ(table[3].MacAddress, QStringLiteral("00-1A-2B-3C-4D-5E"));
    EXPECT_EQ(table[4].PingResult, QStringLiteral("无效"));
    EXPECT_EQ(table[2].PingResult, QStringLiteral("5"));
    EXPECT_EQ(table[2].Ttl, QString());
    EXPECT_EQ(rig.run->activeCount(), 2);  // the row outside still counts
    EXPECT_EQ(rig.run->inactiveCount(), 1);
    EXPECT_EQ(rig.run->text2(), QStringLiteral("扫描...1"));
}

TEST(ScanRun, ReportsOutsideAScanAreIgnored) {
    ScanRig rig;
    rig.run->ReceiveScanReport(QStringLiteral("0,无效"));
    EXPECT_EQ(rig.run->inactiveCount(), 0);
}

TEST(ScanRun, FollowsTheNewestRowsUntilTheOperatorScrolls) {
    ScanRig rig;
    rig.startRange(QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.30"));
    rig.clock.advance(260);  // 26 started
    EXPECT_EQ(rig.run->scrollMaximum(), 25);
    EXPECT_EQ(rig.run->scrollValue(), 25);
    EXPECT_EQ(rig.run->rows()[20].number, QStringLiteral("26."));
    rig.run->VScroll2_Change(22);
    rig.clock.advance(100);
    EXPECT_EQ(rig.run->scrollValue(), 22);
    EXPECT_EQ(rig.run->rows()[0].number, QStringLiteral("3."));
    EXPECT_EQ(rig.run->rows()[20].number, QStringLiteral("23."));
}

TEST(ScanRun, WindowOfTwentyFiveRowsAtTwentyFourShowsRowsFourToTwentyFour) {
    const ScanWindow window = ChooseScanWindow(25, 24, 24);
    EXPECT_EQ(window.top, 4);
    EXPECT_EQ(window.bottom, 24);
    EXPECT_EQ(ChooseScanWindow(25, 10, 24).bottom, 20);
    EXPECT_EQ(ChooseScanWindow(5, 4, 4).top, 0);
    EXPECT_EQ(ChooseScanWindow(5, 4, 4).bottom, 4);
}

TEST(ScanRun, StopAfterFortyOfAHundredKeepsFortyRowsAndFinishesAfterTheStopTicks) {
    ScanRig rig;
    rig.startRange(QStringLiteral("10.0.1.1"), QStringLiteral("10.0.1.100"));
    rig.clock.advance(395);
    EXPECT_EQ(rig.processes.starts().size(), 40u);
    rig.run->StopScan();
    rig.clock.advance(10);
    EXPECT_EQ(rig.processes.starts().size(), 40u);
    EXPECT_EQ(rig.run->ScanResults().size(), 40u);
    EXPECT_EQ(rig.run->labelTotal(), QStringLiteral("40"));
    rig.clock.advance(5000);  // the first stop tick leaves the busy state
    EXPECT_FALSE(rig.state.activityBusy());
    EXPECT_FALSE(rig.run->finished());
    rig.clock.advance(10'600);
    EXPECT_TRUE(rig.run->finished());
    EXPECT_EQ(rig.run->ScanResultsKept().size(), 40u);
}

TEST(ScanRun, ViewsFilterTheKeptTable) {
    ScanRig rig;
    rig.startRange(QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.3"));
    rig.clock.advance(40);
    for (const char* report : {"0,1,64,,", "1,2,64,,", "2,无效"})
        rig.run->ReceiveScanReport(QString::fromUtf8(report));
    rig.clock.advance(1500);
    ASSERT_TRUE(rig.run->finished());
    rig.run->ShowScanView(QStringLiteral("活动"));
    EXPECT_EQ(rig.run->ScanResults().size(), 2u);
    rig.run->ShowScanView(QStringLiteral("非活动"));
    ASSERT_EQ(rig.run->ScanResults().size(), 1u);
    EXPECT_EQ(rig.run->rows()[0].address, QStringLiteral("10.0.0.3"));
    EXPECT_EQ(rig.run->labelActive(), QStringLiteral("2"));  // counts of the whole scan
    rig.run->ShowScanView(QStringLiteral("全部"));
    EXPECT_EQ(rig.run->ScanResults().size(), 3u);
    EXPECT_EQ(rig.run->scrollValue(), 2);
}

TEST(ScanRun, AnEmptyViewClearsTheRowsAndTheScrollBar) {
    ScanRig rig;
    rig.startRange(QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2"));
    rig.clock.advance(30);
    rig.run->ReceiveScanReport(QStringLiteral("0,1,64,,"));
    rig.run->ReceiveScanReport(QStringLiteral("1,1,64,,"));
    rig.clock.advance(1500);
    rig.run->ShowScanView(QStringLiteral("非活动"));
    EXPECT_EQ(rig.run->rows()[0].colour, ScanColour::Cleared);
    EXPECT_EQ(rig.run->scrollMaximum(), 0);
    rig.run->ShowScanView(QStringLiteral("全部"));
    EXPECT_EQ(rig.run->rows()[1].address, QStringLiteral("10.0.0.2"));
}

TEST(ScanRun, RefusesAStartWhileAnActivityRunsAndReportsUnresolvedNames) {
    ScanRig rig;
    rig.state.EnterBusyState();
    EXPECT_EQ(rig.run->StartScan(TargetRequest{}, QStringLiteral("Cr,10.0.0.1,10.0.0.2")),
              StartResult::Busy);
    rig.state.LeaveBusyState();
    TargetRequest request;
    request.textPing = QStringLiteral("nosuchname");
    EXPECT_EQ(rig.run->StartScan(request), StartResult::Starting);
    EXPECT_EQ(rig.prompts.texts(),
              QStringList({QStringLiteral("找不到下面 IP 地址1 主机:\r\n\r\n       nosuchname")}));
    EXPECT_FALSE(rig.state.activityBusy());
    EXPECT_TRUE(rig.processes.starts().empty());
}

TEST(ScanTable, ParsesTheLinuxSourcesOfHardwareAddresses) {
    const QMap<QString, QString> table = ParseArpTable(QStringLiteral(
        "IP address       HW type     Flags       HW address            Mask     Device\n"
        "192.0.2.1        0x1         0x2         0a:1b:2c:3d:4e:5f     *        eth0\n"
        "192.0.2.2        0x1         0x0         00:00:00:00:00:00     *        eth0\n"));
    EXPECT_EQ(table.value(QStringLiteral("192.0.2.1")), QStringLiteral("0A-1B-2C-3D-4E-5F"));
    EXPECT_FALSE(table.contains(QStringLiteral("192.0.2.2")));
    EXPECT_EQ(ParseInterfaceAddress(QStringLiteral("02:42:ac:11:00:02\n")),
              QStringLiteral("02-42-AC-11-00-02"));
    EXPECT_FALSE(ParseInterfaceAddress(QStringLiteral("cat: no such file\n")));
}

}  // namespace
}  // namespace sondrel
