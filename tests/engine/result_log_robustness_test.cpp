#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "app/command_line.h"
#include "engine/result_log.h"
#include "engine/result_log_reload.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

const QByteArray GoodLine("2010,05,03,14,22,07,192.168.0.1,32,15,128,0");

class RunLogFiles : public ::testing::Test {
  protected:
    QString write(const QByteArray& bytes, const QString& name = "Quibbet_DB3.txt") {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST(RunLogLine, MalformedFieldsAreRefused) {
    EXPECT_TRUE(ParseRunLogLine(GoodLine));
    for (const char* bad :
         {"", "2010,05,03", "2010,05,03,14,22,07,1.2.3.4,32,15,128",
          "2010,05,03,14,22,07,1.2.3.4,abc,15,128,0",
          "2010,05,03,14,22,07,1.2.3.4,40000,15,128,0",  // beyond 16 bits
          "2010,05,03,14,22,07,1.2.3.4,32,99999999999,128,0",
          "2010,05,03,14,22,07,1.2.3.4,32,15,128,nan", "2010,05,03,14,22,07,1.2.3.4,32,15,128,inf"})
        EXPECT_FALSE(ParseRunLogLine(bad)) << bad;
    EXPECT_FALSE(ParseRunLogLine(QByteArray("2010,05,03,14,22,07,1.2\0.3,32,15,128,0", 39)));
    // Extra fields are ignored; long texts are cut to their widths.
    const auto r = ParseRunLogLine("20100,005,03,14,22,07,1234567890.1234567,32,1.5,128,0,x");
    ASSERT_TRUE(r);
    EXPECT_EQ(FieldText(r->year), "2010");
    EXPECT_EQ(FieldText(r->month), "00");
    EXPECT_EQ(r->addressText(), "1234567890.1234");
    EXPECT_EQ(r->time, 2);  // whole numbers round half to even
}

TEST_F(RunLogFiles, MalformedLineEndsTheReloadKeepingWhatCameBefore) {
    ReloadedRun run;
    EXPECT_FALSE(ReadRunLog(
        write("1,1,1\r\n" + GoodLine + "\r\n" + GoodLine + "\r\nbroken\r\n" + GoodLine + "\r\n"),
        run));
    EXPECT_EQ(run.records.size(), 2u);
}

TEST_F(RunLogFiles, HeaderOnlyTruncatedAndEmptyLogs) {
    ReloadedRun run;
    EXPECT_FALSE(ReadRunLog(write("1,1,1\r\n"), run));
    EXPECT_FALSE(ReadRunLog(write(""), run));
    EXPECT_FALSE(ReadRunLog(dir.path() + "/missing.txt", run));
    // A log cut in the middle of its last line (a crash) is the run of its whole lines; a bad
    // line that has its line end is no cut and spoils the log.
    EXPECT_TRUE(ReadRunLog(write("1,1,1\r\n" + GoodLine + "\r\n2010,05,0"), run));
    EXPECT_EQ(run.records.size(), 1u);
    EXPECT_EQ(run.stats.sentCount, 1);
    EXPECT_FALSE(ReadRunLog(write("1,1,1\r\n" + GoodLine + "\r\n2010,05,0\r\n"), run));
    // Lines after the first empty one are not read; LF alone works too.
    run = ReloadedRun{};
    ASSERT_TRUE(ReadRunLog(write("x,y\n" + GoodLine + "\n\n" + GoodLine + "\n"), run));
    EXPECT_EQ(run.stats.sentCount, 1);
    EXPECT_EQ(run.header.targetCount, 0);  // unreadable header fields keep their defaults
    EXPECT_EQ(run.header.repeatPerIP, 1);
}

TEST_F(RunLogFiles, HugeLogKeepsTheNewestRecordsAndCountsAll) {
    QByteArray text("1,1,1\r\n");
    const int lines = ReplyRecords::Capacity + 2500;
    text.reserve(lines * 48);
    for (int i = 0; i < lines; ++i)
        text += "2010,05,03,14,22,07,10.0.0.1,32," + QByteArray::number(i % 7) + ",64,0\r\n";
    ReloadedRun run;
    ASSERT_TRUE(ReadRunLog(write(text), run));
    EXPECT_EQ(run.stats.sentCount, lines);
    ASSERT_EQ(run.records.size(), size_t(ReplyRecords::Capacity));
    EXPECT_EQ(run.records.back().time, (lines - 1) % 7);
    EXPECT_EQ(run.records.front().time, 2500 % 7);
    EXPECT_EQ(run.firstProbe, 2500);  // the lines left out, for the cycle of each record
}

TEST_F(RunLogFiles, TargetTableShortLongAndHostile) {
    QStringList show, title;
    EXPECT_TRUE(ReloadTargetTable(dir.path() + "/none.txt", 3, show, title).isEmpty());
    EXPECT_TRUE(show.isEmpty());
    const QString path = write("a,first,extra\r\nweb / 10.0.0.2\r\n", "Quibbet_DB4.txt");
    EXPECT_TRUE(ReloadTargetTable(path, 4, show, title).isEmpty());
    EXPECT_EQ(show, QStringList({"a", "web / 10.0.0.2", "", ""}));
    EXPECT_EQ(title, QStringList({"first", "", "", ""}));
    // A header claiming two billion targets must not exhaust memory.
    EXPECT_TRUE(ReloadTargetTable(path, 2000000000, show, title).isEmpty());
    EXPECT_LE(show.size(), 1 << 20);
    EXPECT_TRUE(ReloadTargetTable(path, -5, show, title).isEmpty());
    EXPECT_TRUE(show.isEmpty());
}

// Random bytes, lines and field mixes: the readers never crash and never report more than
// they read.
TEST_F(RunLogFiles, RandomInputNeverCrashes) {
    QRandomGenerator rng(20261209);
    const QByteArray alphabet("0123456789,.-\r\n ab\t\xff\x00", 21);
    for (int round = 0; round < 300; ++round) {
        QByteArray text;
        const int size = rng.bounded(2000);
        for (int i = 0; i < size; ++i) {
            if (rng.bounded(10) == 0)
                text += GoodLine.left(rng.bounded(GoodLine.size() + 1));
            else
                text += alphabet[rng.bounded(alphabet.size())];
        }
        ReloadedRun run;
        const bool complete = ReadRunLog(write(text), run);
        EXPECT_LE(run.records.size(), size_t(text.count('\n') + 1));
        if (complete) {
            EXPECT_EQ(run.stats.sentCount, double(run.records.size()));
        }
        QStringList show, title;
        ReloadTargetTable(write(text, "t.txt"), rng.bounded(50) - 5, show, title);
        CommandLineFields fields;
        const CommandLineKind kind = ParseCommandLine(QString::fromUtf8(text), &fields);
        if (kind == CommandLineKind::Apply) {
            EXPECT_EQ(fields.boxTexts.size(), 5);
        }
        CommandLinePositions(QString::fromUtf8(text), 10);
    }
}

}  // namespace
}  // namespace sondrel

namespace sondrel {
namespace {

// Two instances share the data folder: the second run must not replace a log being written.
TEST(ResultLogSharing, ALogInUseIsNeverReplaced) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    ResultLog first, second;
    ASSERT_TRUE(first.create(folder, {1, 1, 1}, {"127.0.0.1"}, {""}).isEmpty());
    const QString refused = second.create(folder, {2, 1, 1}, {"a", "b"}, {"", ""});
    EXPECT_TRUE(refused.startsWith(QStringLiteral("另一个测试正在写入结果日志")))
        << refused.toStdString();
    ReplyRecord record;
    record.setStamp(QDateTime(QDate(2010, 5, 3), QTime(14, 22, 7)));
    record.setAddress("127.0.0.1");
    EXPECT_TRUE(first.append(record).isEmpty());
    EXPECT_TRUE(first.close().isEmpty());
    QFile log(folder + RunLogFileName);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "1,1,1\r\n2010,05,03,14,22,07,127.0.0.1,0,0,0,0\r\n");
    EXPECT_TRUE(second.create(folder, {2, 1, 1}, {"a", "b"}, {"", ""}).isEmpty());
}

}  // namespace
}  // namespace sondrel
