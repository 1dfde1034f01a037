#include "report/summary_report.h"

#include "report/report_export.h"
#include "report_fixture.h"

namespace sondrel::testing {
namespace {

TEST(SummaryReport, BothModesMatchTheGoldenFiles) {
    StampFormatter stamps = FixedStamps();
    RunRig three;
    ThreeTargets(three);
    const SummaryReport byPeriod = BuildPeriodReport(three.run(), 5, stamps);
    EXPECT_EQ(Written(ReportTextLines(byPeriod, three.targets)), Golden("report_period.txt"));
    EXPECT_EQ(Written(ReportCsvLines(byPeriod, three.targets)), Golden("report_period.csv"));
    RunRig stepped;
    SteppedSizes(stepped);
    const SummaryReport bySize = BuildSizeReport(stepped.run(), stamps);
    EXPECT_EQ(bySize.sizeSteps, (QList<qint16>{32, 64}));
    EXPECT_EQ(Written(ReportTextLines(bySize, stepped.targets)), Golden("report_size.txt"));
    EXPECT_EQ(Written(ReportCsvLines(bySize, stepped.targets)), Golden("report_size.csv"));
}

TEST(SummaryReport, PeriodsCountWholeMinutesAndIgnoreSeconds) {
    RunRig rig;
    rig.target("127.0.0.1", "127.0.0.1", "");
    rig.probe(At(10, 0, 50), "127.0.0.1", 1, 64);
    rig.probe(At(10, 4, 59), "127.0.0.1", 1, 64);
    rig.probe(At(10, 5, 1), "127.0.0.1", 1, 64);
    StampFormatter stamps = FixedStamps();
    const SummaryReport report = BuildPeriodReport(rig.run(), 5, stamps);
    ASSERT_EQ(report.targets.size(), 1u);
    ASSERT_EQ(report.targets[0].size(), 2u);
    EXPECT_EQ(report.targets[0][0].sent, 2);
    EXPECT_EQ(report.targets[0][0].toText, QStringLiteral("03/05 10:04:59"));
    EXPECT_EQ(report.targets[0][1].fromText, QStringLiteral("03/05 10:05:01"));
    // Across midnight the calendar day counts.
    EXPECT_EQ(MinutesBetween(rig.records.at(0), rig.records.at(2)), 5);
    ReplyRecord nextDay = rig.records.at(0);
    nextDay.setStamp(At(0, 1, 0, 6));
    EXPECT_EQ(MinutesBetween(rig.records.at(0), nextDay), 14 * 60 + 1);
}

TEST(SummaryReport, NegativeOrZeroPeriodsAreRefusedAndNeverLoop) {
    EXPECT_TRUE(PeriodTextRefused(QStringLiteral("0")));
    EXPECT_TRUE(PeriodTextRefused(QStringLiteral("abc")));
    EXPECT_TRUE(PeriodTextRefused(QStringLiteral("-3")));
    EXPECT_FALSE(PeriodTextRefused(QStringLiteral("2.5")));
    RunRig rig;
    rig.target("127.0.0.1", "127.0.0.1", "");
    rig.probe(At(10, 0, 0), "127.0.0.1", 1, 64);
    rig.probe(At(10, 1, 0), "127.0.0.1", 1, 64);
    StampFormatter stamps = FixedStamps();
    EXPECT_EQ(BuildPeriodReport(rig.run(), -4, stamps).targets[0].size(), 2u);
}

TEST(SummaryReport, TheActivationPeriodIsATenthOfTheRunInMinutes) {
    RunRig rig;
    rig.target("127.0.0.1", "127.0.0.1", "");
    EXPECT_EQ(PeriodForRun(rig.run()), QStringLiteral("1"));
    rig.probe(At(10, 0, 59), "127.0.0.1", 1, 64);
    rig.probe(At(10, 9, 0), "127.0.0.1", 1, 64);
    EXPECT_EQ(PeriodForRun(rig.run()), QStringLiteral("1"));
    rig.probe(At(10, 47, 0), "127.0.0.1", 1, 64);
    EXPECT_EQ(PeriodForRun(rig.run()), QStringLiteral("4"));
}

TEST(SummaryReport, BarsRoundAtTwoAndAHalfPercent) {
    EXPECT_EQ(LossRateBar(QStringLiteral("2.50 %  ")), QStringLiteral("="));
    EXPECT_EQ(LossRateBar(QStringLiteral("2.49 %  ")), QString());
    EXPECT_EQ(LossRateBar(QStringLiteral("100.00 %")), QString(20, QLatin1Char('=')));
    EXPECT_EQ(LossRateBar(QStringLiteral("--------")), QStringLiteral("-- Error --"));
    EXPECT_EQ(AverageTimeText(0), QStringLiteral("<1 ms"));
    EXPECT_EQ(AverageTimeText(-1), QStringLiteral("---"));
    EXPECT_EQ(AverageTimeText(12), QStringLiteral("12 ms"));
}

TEST(SummaryReport, AGroupWithEveryReplyLostShowsNoTimeAndAFullBar) {
    RunRig rig;
    rig.target("127.0.0.1", "127.0.0.1 / x", "");
    rig.probe(At(10, 0, 0), "127.0.0.1", -1, 0, 32, 11010);
    rig.probe(At(10, 0, 1), "127.0.0.1", -1, 0, 32, 11010);
    StampFormatter stamps = FixedStamps();
    const SummaryReport report = BuildPeriodReport(rig.run(), 1, stamps);
    const ReportColumns c = ReportListColumns(report, rig.targets);
    ASSERT_EQ(c.rows[0].size(), 5);
    EXPECT_EQ(c.rows[0][2], QStringLiteral("侦测  127.0.0.1 :"));
    EXPECT_EQ(c.rows[0][4], QStringLiteral("03/05 10:00:00 - 03/05 10:00:01"));
    const QStringList row{c.rows[1][4], c.rows[2][4], c.rows[3][4],
                          c.rows[4][4], c.rows[5][4], c.rows[6][4]};
    EXPECT_EQ(row, (QStringList{"0", "2", "2", "---", "100.00 %", QString(20, '=')}));
    EXPECT_EQ(c.spanHeading, QStringLiteral("从        -        自"));
}

TEST(SummaryReport, FewerRecordsThanTargetsIsRefusedAndEmptyTargetsGetNoRows) {
    RunRig rig;
    for (const char* ip : {"127.0.0.1", "127.0.0.2", "127.0.0.3"})
        rig.target(ip, ip, "");
    EXPECT_EQ(ReportRefusal(rig.run()), NoReportDataMessage);
    rig.probe(At(10, 0, 0), "127.0.0.1", 1, 64);
    rig.probe(At(10, 0, 1), "127.0.0.2", 1, 64);
    EXPECT_EQ(ReportRefusal(rig.run()), IncompleteRunMessage);
    // With two probes a target the third target has none at all.
    rig.repeat = 2;
    rig.probe(At(10, 0, 2), "127.0.0.2", 1, 64);
    EXPECT_EQ(ReportRefusal(rig.run()), QString());
    StampFormatter stamps = FixedStamps();
    const SummaryReport report = BuildPeriodReport(rig.run(), 1, stamps);
    ASSERT_EQ(report.targets.size(), 3u);
    EXPECT_EQ(report.targets[1].size(), 1u);
    EXPECT_TRUE(report.targets[2].empty());
    EXPECT_TRUE(BuildSizeReport(rig.run(), stamps).targets[2].empty());
}

// With one size and more probes per target than targets, each target keeps its own records.
TEST(SummaryReport, ASizeReportWithoutStepsTakesOnlyTheTargetsOwnRecords) {
    RunRig rig;
    rig.repeat = 3;
    rig.target("127.0.0.1", "127.0.0.1", "");
    rig.target("127.0.0.2", "127.0.0.2", "");
    for (int i = 0; i < 12; ++i)
        rig.probe(At(10, 0, i), i % 6 < 3 ? "127.0.0.1" : "127.0.0.2", i % 6 < 3 ? 1 : 9, 64);
    StampFormatter stamps = FixedStamps();
    const SummaryReport report = BuildSizeReport(rig.run(), stamps);
    ASSERT_EQ(report.targets[0].size(), 1u);
    EXPECT_EQ(report.targets[0][0].sent, 6);
    EXPECT_EQ(report.targets[0][0].averageTime, 1);
    EXPECT_EQ(report.targets[1][0].averageTime, 9);
}

TEST(SummaryReport, AfterTheWrapEveryRecordIsReportedUnderItsOwnTarget) {
    RunRig rig;
    for (const char* ip : {"127.0.0.1", "127.0.0.2", "127.0.0.3"})
        rig.target(ip, ip, "");
    for (int i = 0; i < ReplyRecords::Capacity + 3; ++i)
        rig.probe(At(10, 0, 0).addSecs(i / 50), rig.targets.targetIP.at(i % 3), i % 3 + 1, 64);
    StampFormatter stamps = FixedStamps();
    for (const SummaryReport& report :
         {BuildPeriodReport(rig.run(), 1, stamps), BuildSizeReport(rig.run(), stamps)}) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(report.targets[size_t(k)].size(), 1u);
            EXPECT_EQ(report.targets[size_t(k)][0].sent, 1);
            EXPECT_EQ(report.targets[size_t(k)][0].averageTime, k + 1);
        }
    }
}

TEST(ReportExport, RatesAreRightAlignedAndAnEmptyTitleKeepsItsDash) {
    RunRig rig;
    rig.target("127.0.0.1", "127.0.0.1", "");
    for (int i = 0; i < 8; ++i)
        rig.probe(At(10, 0, i), "127.0.0.1", i == 0 ? -1 : 1, 64, 32, 11010);
    StampFormatter stamps = FixedStamps();
    const QStringList lines = ReportTextLines(BuildPeriodReport(rig.run(), 1, stamps), rig.targets);
    EXPECT_EQ(lines.at(4), QStringLiteral("IP: 127.0.0.1 - "));
    EXPECT_TRUE(lines.at(6).endsWith(QStringLiteral("\t 12.50 % "))) << lines.at(6).toStdString();
}

}  // namespace
}  // namespace sondrel::testing
