#include <gtest/gtest.h>

#include "engine/reply_processing.h"
#include "engine/result_log.h"

namespace sondrel {
namespace {

const QDateTime When(QDate(2010, 5, 3), QTime(14, 22, 7));

EchoReply success(quint32 rtt, quint8 ttl) {
    return {0, EchoStatus::Success, rtt, 32, ttl};
}
EchoReply lost(qint32 status) {
    return {0, status, 0, 0, 0};
}

struct ProbeRun {
    ReplyRecords records;
    RunStatistics stats;
    ProbeRun() {
        records.reset();
        stats.reset();
        stats.minRtt = RunStatistics::NoMinimum;
    }
    ProbeResult probe(const EchoReply& reply, const QString& address = "192.168.0.1") {
        ProbeResult r = RecordProbe(records, stats, address, 32, reply, When);
        records.endProbe();
        return r;
    }
};

TEST(ReplyProcessing, SuccessLineRecordAndLog) {
    ProbeRun run;
    const ProbeResult r = run.probe(success(15, 128));
    EXPECT_EQ(r.line.prefix, QStringLiteral("05/03 14:22:07   回覆 192.168.0.1"));
    EXPECT_EQ(r.line.detail, QStringLiteral("bytes=32  时间=15ms  TTL=128  ok"));
    EXPECT_EQ(run.stats.lastReplyLine,
              QStringLiteral("05/03 14:22:07   回覆 192.168.0.1:  bytes=32  时间=15ms  TTL=128")
                  .leftJustified(100));
    const ReplyRecord& rec = run.records.at(0);
    EXPECT_EQ(rec.addressText(), QStringLiteral("192.168.0.1    "));
    EXPECT_EQ(RunLogLine(rec), QByteArray("2010,05,03,14,22,07,192.168.0.1,32,15,128,0\r\n"));
    // The rebuilt line equals the live one.
    EXPECT_EQ(ReplyLineFromRecord(rec).prefix, r.line.prefix);
    EXPECT_EQ(ReplyLineFromRecord(rec).detail, r.line.detail);
}

TEST(ReplyProcessing, ZeroMillisecondReplyAndTimeOut) {
    ProbeRun run;
    const ProbeResult fast = run.probe(success(0, 64));
    EXPECT_EQ(fast.line.detail, QStringLiteral("bytes=32  时间<1ms  TTL=64  ok"));
    EXPECT_EQ(ReplyLineFromRecord(run.records.at(0)).detail,
              QStringLiteral("bytes=32  time<1ms  TTL=64  ok"));
    EXPECT_EQ(run.records.at(0).time, 0);
    EXPECT_EQ(run.stats.rttSum, 0);

    const ProbeResult timeout = run.probe(lost(EchoStatus::TimedOut), "192.168.0.2");
    EXPECT_EQ(timeout.line.detail, QStringLiteral("bytes=32  请求超时。"));
    EXPECT_EQ(RunLogLine(run.records.at(1)),
              QByteArray("2010,05,03,14,22,07,192.168.0.2,32,-1,0,11010\r\n"));

    SummaryTexts s = SummaryFromStatistics(run.stats);
    EXPECT_EQ(s[0], "2");
    EXPECT_EQ(s[1], "1");
    EXPECT_EQ(s[2], "1");
    EXPECT_EQ(s[3], "50.00 %");
    EXPECT_EQ(s[4], "1 ms");  // a minimum of 0 shows as 1, and becomes 1
    EXPECT_EQ(run.stats.minRtt, 1);
    EXPECT_EQ(s[7], "64");
}

TEST(ReplyProcessing, FirstProbeLostShowsZeroTimes) {
    ProbeRun run;
    run.probe(lost(EchoStatus::HostUnreachable));
    const SummaryTexts s = SummaryFromStatistics(run.stats);
    EXPECT_EQ(s, (SummaryTexts{"1", "0", "1", "100.00 %", "0 ms", "0 ms", "0 ms", "0"}));
}

TEST(ReplyProcessing, AverageRoundsHalfUp) {
    ProbeRun run;
    run.probe(success(10, 64));
    run.probe(success(21, 63));
    EXPECT_EQ(run.stats.avgRtt, 16);  // 31 / 2 + 0.5
    EXPECT_EQ(run.stats.avgTtl, 64);  // 63.5 + 0.5
    EXPECT_EQ(run.stats.maxRtt, 21);
}

TEST(ReplyProcessing, LossRateRoundsToEvenAtFourPlaces) {
    EXPECT_EQ(LossRateText(1, 3), "33.33 %");
    EXPECT_EQ(LossRateText(1, 32), "3.12 %");  // 0.03125 -> 0.0312
    EXPECT_EQ(LossRateText(3, 32), "9.38 %");  // 0.09375 -> 0.0938
    EXPECT_EQ(LossRateText(0, 5), "0.00 %");
    EXPECT_EQ(LossRateText(5, 5), "100.00 %");
    EXPECT_EQ(LossRateText(0, 0), "0.00 %");
}

TEST(ReplyRecords, WrapsAfterOneHundredThousand) {
    ProbeRun run;
    for (int i = 0; i < ReplyRecords::Capacity; ++i)
        run.probe(success(1, 64));
    EXPECT_EQ(run.records.size(), ReplyRecords::Capacity);
    EXPECT_EQ(run.records.index(), 0);
    const ProbeResult next = run.probe(success(2, 64), "10.0.0.9");
    EXPECT_EQ(next.index, 0);
    EXPECT_EQ(run.records.size(), 1);
    EXPECT_EQ(run.records.at(0).time, 2);
    EXPECT_EQ(run.records.at(0).addressText().trimmed(), "10.0.0.9");
    EXPECT_EQ(run.stats.sentCount, ReplyRecords::Capacity + 1);
}

TEST(ReplyRecords, AddressIsPaddedOrCutToFifteen) {
    ReplyRecord r;
    r.setAddress("1.2.3.4");
    EXPECT_EQ(r.addressText(), "1.2.3.4        ");
    r.setAddress("1234567890.1234567890");
    EXPECT_EQ(r.addressText(), "1234567890.1234");
    EXPECT_TRUE(ReplyRecord{}.isBlank());
    EXPECT_TRUE(ReplyLineFromRecord(ReplyRecord{}).prefix.isEmpty());
}

TEST(ReplyRecords, DatedLineUsesSystemFormats) {
    ProbeRun run;
    run.probe(success(5, 64));
    const ReplyRecord& r = run.records.at(0);
    const QLocale locale = QLocale::system();
    const QString expected = locale.toString(When.date(), QLocale::ShortFormat) + " " +
                             locale.toString(When.time(), QLocale::LongFormat);
    EXPECT_EQ(ReplyDateTime(r), expected);
    EXPECT_EQ(DatedReplyLine(r).prefix, expected + QStringLiteral("   回覆 192.168.0.1"));
}

TEST(EchoStatusText, SharedAndUnknownTexts) {
    EXPECT_EQ(EchoStatusText(11004), EchoStatusText(11005));
    EXPECT_EQ(EchoStatusText(12345), QStringLiteral("返回未知信息"));
    EXPECT_EQ(EchoStatusText(-1), QStringLiteral("inet_addr： IP 格式不正确"));
    EXPECT_TRUE(EchoStatusText(0).contains(QStringLiteral("成功")));
}

}  // namespace
}  // namespace sondrel
