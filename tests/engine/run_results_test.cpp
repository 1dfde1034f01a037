#include <gtest/gtest.h>

#include "engine/run_results.h"

namespace sondrel {
namespace {

// A run of `targets` targets, `repeat` probes each per visit; each record carries the target
// it probed in its size field, so attribution can be checked record by record.
struct CycleRun {
    CycleRun(int targets, qint32 repeat) : repeatPerIP(repeat) {
        for (int k = 0; k < targets; ++k)
            expanded.targetIP << QStringLiteral("10.0.0.%1").arg(k + 1);
        records.reset();
    }
    void probe(qint64 count) {
        for (qint64 p = 0; p < count; ++p, ++made) {
            ReplyRecord& r = records.beginProbe();
            r.setStamp(QDateTime(QDate(2026, 5, 3), QTime(14, 22, 7)));
            r.setAddress(QStringLiteral("10.0.0.1"));
            r.size = qint16(made / repeatPerIP % expanded.count());
            records.endProbe();
        }
    }
    RunResults results() const { return {records, stats, expanded, repeatPerIP}; }
    // Every record is given to the target it probed, and each target's list holds exactly its
    // records in order.
    void expectAttributionHolds() const {
        const RunResults run = results();
        for (qint32 i = 0; i < records.size(); ++i) {
            ASSERT_EQ(run.targetOf(i), records.at(i).size) << "record " << i;
        }
        qsizetype listed = 0;
        for (qint32 k = 0; k < expanded.count(); ++k) {
            const QList<qint32> mine = run.recordsOf(k);
            listed += mine.size();
            for (qsizetype j = 0; j < mine.size(); ++j) {
                ASSERT_EQ(records.at(mine[j]).size, k) << "target " << k;
                if (j > 0) {
                    ASSERT_LT(mine[j - 1], mine[j]);
                }
            }
        }
        EXPECT_EQ(listed, records.size());
    }

    ReplyRecords records;
    RunStatistics stats;
    ExpandedTargets expanded;
    qint32 repeatPerIP;
    qint64 made = 0;
};

TEST(RunResults, RecordsKeepTheirTargetAcrossTheWrap) {
    CycleRun run(3, 2);
    run.probe(ReplyRecords::Capacity + 7);
    ASSERT_EQ(run.records.size(), 7);
    EXPECT_EQ(run.records.firstProbe(), ReplyRecords::Capacity);
    // Probe 100,000 is the second probe of target 2 (100,000 = 16,666 cycles of 6 + 4).
    EXPECT_EQ(run.results().cyclePosition(0), 4);
    EXPECT_EQ(run.results().targetOf(0), 2);
    EXPECT_EQ(run.results().recordsOf(2), QList<qint32>({0, 1, 6}));
    run.expectAttributionHolds();
}

TEST(RunResults, AReloadThatLeftOldLinesOutKeepsTheCycle) {
    CycleRun source(4, 3);
    source.probe(12 * 9 + 5);
    CycleRun reloaded(4, 3);
    std::vector<ReplyRecord> kept(source.records.all().begin() + 17, source.records.all().end());
    reloaded.records.adopt(std::move(kept), 17);
    reloaded.expectAttributionHolds();
    // A fresh start forgets the offset.
    reloaded.records.reset();
    EXPECT_EQ(reloaded.records.firstProbe(), 0);
}

TEST(RunResults, StoppedEarlyOrEmptyRunsGiveTargetsNoRecords) {
    CycleRun run(3, 2);
    run.probe(3);
    run.expectAttributionHolds();
    EXPECT_EQ(run.results().recordsOf(0), QList<qint32>({0, 1}));
    EXPECT_EQ(run.results().recordsOf(1), QList<qint32>({2}));
    EXPECT_TRUE(run.results().recordsOf(2).isEmpty());
    EXPECT_TRUE(run.results().recordsOf(3).isEmpty());  // no such target
    CycleRun empty(2, 1);
    EXPECT_TRUE(empty.results().recordsOf(0).isEmpty());  // only the blank record
    CycleRun none(0, 1);
    EXPECT_EQ(none.results().targetOf(0), -1);
}

}  // namespace
}  // namespace sondrel
