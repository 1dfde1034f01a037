#include "report/ping_export.h"

#include "report_fixture.h"

namespace sondrel::testing {
namespace {

TEST(PingExport, ThreeTargetsWithALostAndAFastReplyMatchTheGoldenFiles) {
    RunRig rig;
    ThreeTargets(rig);
    StampFormatter stamps = FixedStamps();
    EXPECT_EQ(Written(PingTextLines(rig.run(), stamps)), Golden("ping_three_targets.txt"));
    EXPECT_EQ(Written(PingCsvLines(rig.run(), stamps)), Golden("ping_three_targets.csv"));
}

TEST(PingExport, ARunWithoutAnyReplyWritesZeroTimesAndEmptyCsvTimes) {
    RunRig rig;
    rig.target("127.0.0.9", "127.0.0.9", "");
    rig.probe(At(11, 0, 0), "127.0.0.9", -1, 0, 32, 11003);
    rig.probe(At(11, 0, 1), "127.0.0.9", -1, 0, 32, 11003);
    StampFormatter stamps = FixedStamps();
    EXPECT_EQ(Written(PingTextLines(rig.run(), stamps)), Golden("ping_all_failed.txt"));
    EXPECT_EQ(Written(PingCsvLines(rig.run(), stamps)), Golden("ping_all_failed.csv"));
}

TEST(PingExport, TargetsWithoutRecordsKeepTheirHeadingOnly) {
    RunRig rig;
    for (const char* ip : {"127.0.0.1", "127.0.0.2", "127.0.0.3"})
        rig.target(ip, ip, "");
    rig.probe(At(12, 0, 0), "127.0.0.1", 4, 64);
    StampFormatter stamps = FixedStamps();
    EXPECT_EQ(Written(PingTextLines(rig.run(), stamps)), Golden("ping_stopped_early.txt"));
    EXPECT_EQ(Written(PingCsvLines(rig.run(), stamps)), Golden("ping_stopped_early.csv"));
}

// A probe under way leaves a blank last record: it is no reply and is not written.
TEST(PingExport, TheBlankRecordOfAProbeUnderWayIsLeftOut) {
    RunRig rig;
    rig.target("127.0.0.1", "127.0.0.1", "");
    rig.probe(At(12, 0, 0), "127.0.0.1", 4, 64);
    rig.records.beginProbe();
    StampFormatter stamps = FixedStamps();
    const QStringList lines = PingTextLines(rig.run(), stamps);
    EXPECT_EQ(lines.first(),
              QStringLiteral(" 侦测测试在 :  2024-03-05 12:00:00  -  2024-03-05 12:00:00"));
    EXPECT_EQ(lines.filter(QStringLiteral("回覆")).size(), 1);
}

TEST(PingExport, TheSystemFormatsAreThoseOfTheReplyLines) {
    RunRig rig;
    ThreeTargets(rig);
    StampFormatter stamps;
    for (qint32 i = 0; i < rig.records.size(); ++i)
        EXPECT_EQ(stamps.dateTime(rig.records.at(i)), ReplyDateTime(rig.records.at(i)));
}

TEST(PingExport, TheStampIsTheMonthDayHourAndMinuteOfTheLastReply) {
    EXPECT_EQ(ExportStamp(QStringLiteral("03/05 10:07:09   回覆 127.0.0.1")),
              QStringLiteral("03051007"));
    EXPECT_EQ(ExportStamp(QString(100, QLatin1Char(' '))), QString());
    EXPECT_EQ(ExportStamp(QString()), QString());
}

// After 100,000 probes the array starts again: the kept records still go to the targets that
// were really probed.
TEST(PingExport, AfterTheWrapEveryRecordStaysUnderItsOwnTarget) {
    RunRig rig;
    for (const char* ip : {"127.0.0.1", "127.0.0.2", "127.0.0.3"})
        rig.target(ip, ip, "");
    for (int i = 0; i < ReplyRecords::Capacity + 3; ++i)
        rig.probe(At(10, 0, 0).addSecs(i / 50), rig.targets.targetIP.at(i % 3), 1,
                  qint16(60 + i % 3));
    ASSERT_EQ(rig.records.size(), 3);
    StampFormatter stamps = FixedStamps();
    const QStringList text = PingTextLines(rig.run(), stamps);
    QString target;
    int details = 0;
    for (const QString& line : text) {
        if (line.startsWith(QStringLiteral("侦测  ")))
            target = line.mid(4).chopped(1);
        if (line.contains(QStringLiteral("回覆 "))) {
            ++details;
            EXPECT_TRUE(line.contains(QStringLiteral("回覆 ") + target + QStringLiteral("  ")))
                << line.toStdString();
        }
    }
    EXPECT_EQ(details, 3);
    for (const QString& row : PingCsvLines(rig.run(), stamps).filter(QStringLiteral(",2024,"))) {
        const QStringList fields = row.split(QLatin1Char(','));
        // Target k answered with TTL 60 + k.
        const int k = fields.at(7).section(QLatin1Char('.'), 3).toInt() - 1;
        EXPECT_EQ(fields.at(11), QString::number(60 + k)) << row.toStdString();
    }
}

}  // namespace
}  // namespace sondrel::testing
