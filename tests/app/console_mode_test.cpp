#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "app/console_prompts.h"
#include "engine/icmp_echo.h"
#include "program_run.h"
#include "support/file_size_limit.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

// Runs the real program in console mode with its own data folder; probes go to loopback only.
class ConsoleMode : public testing::ProgramRun {
  protected:
    QByteArray log(const QString& name) {
        QFile f(data.path() + "/SondrelDataBas/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(ConsoleMode, FourProbesToLoopbackPrintLinesSummaryAndExactLogs) {
    requireEcho();
    const Result r = run({"--console", QStringLiteral("127.0.0.1;100 毫秒;32  字节;500 毫秒;4;1")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 13);
    EXPECT_EQ(r.out[0], QStringLiteral("侦测测试32 字节数据:            1  IP "));
    const QRegularExpression line(QStringLiteral(
        R"(^(\d)\. \d\d/\d\d \d\d:\d\d:\d\d   回覆 127\.0\.0\.1  bytes=32  时间(<1|=\d+)ms  TTL=64  ok$)"));
    for (int i = 1; i <= 4; ++i) {
        const auto match = line.match(r.out[i]);
        ASSERT_TRUE(match.hasMatch()) << r.out[i].toStdString();
        EXPECT_EQ(match.captured(1).toInt(), i);
    }
    EXPECT_EQ(r.out.mid(5, 4),
              QStringList({QStringLiteral("发送\t4"), QStringLiteral("收到\t4"),
                           QStringLiteral("丢失\t0"), QStringLiteral("丢失率\t0.00 %")}));
    EXPECT_EQ(r.out[12], QStringLiteral("平均 TTL\t64"));

    const QList<QByteArray> lines = log("Quibbet_DB3.txt").split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "1,1,1\r");
    const QRegularExpression logLine(
        R"(^\d{4},\d\d,\d\d,\d\d,\d\d,\d\d,127\.0\.0\.1,32,\d+,64,0\r$)");
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(logLine.match(QString::fromLatin1(lines[i])).hasMatch())
            << lines[i].toStdString();
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(log("Quibbet_DB4.txt"), "127.0.0.1,\r\n");
}

TEST_F(ConsoleMode, PlainNumbersSizesAndRepeatsWork) {
    requireEcho();
    const Result r = run({"--console", "127.0.0.2;10;1000;500;2;3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out[0], QStringLiteral("侦测测试1000 字节数据:            1  IP "));
    EXPECT_TRUE(r.out[6].startsWith("6. ")) << r.out[6].toStdString();
    EXPECT_TRUE(r.out[6].contains("bytes=1000  ")) << r.out[6].toStdString();
    EXPECT_EQ(r.out[7], QStringLiteral("发送\t6"));
    EXPECT_TRUE(log("Quibbet_DB3.txt").startsWith("1,1,3\r\n"));
}

TEST_F(ConsoleMode, NothingSentToARefusedAddressExitsOne) {
    // 10.0.0.300 is not an address: every probe is recorded as refused without sending.
    const Result r = run({"--console", "10.0.0.300;10;32;500;2;1"});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.value(1).endsWith(QStringLiteral("bytes=32  inet_addr： IP 格式不正确")));
    EXPECT_EQ(r.out.value(4), QStringLiteral("收到\t0"));
    EXPECT_EQ(log("Quibbet_DB3.txt").split('\n').value(1).split(',').mid(6),
              QList<QByteArray>({"10.0.0.300", "32", "-1", "0", "-1\r"}));
}

TEST_F(ConsoleMode, RefusedCommandLinesExitTwo) {
    Result r = run({"--console", "127.0.0.1;1000;32;500;4"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("命令行不正确。"));
    EXPECT_TRUE(r.out.isEmpty());

    r = run({"--console", "127.0.0.1;1000;32;500;4;abc"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("Inalid 每个 IP 重复值。"));
    EXPECT_FALSE(QFile::exists(data.path() + "/SondrelDataBas/Quibbet_DB3.txt"));

    r = run({"--console"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("Usage: sondrel"));
}

TEST_F(ConsoleMode, ListPositionsSelectEntriesOfTheListFile) {
    writeList({"Cr,127.0.0.4,127.0.0.5", "Bg,127.0.0.2,127.0.0.3", "Aa,127.0.0.1"});
    // Refused without sending: a negative position.
    Result r = run({"--console", "/1/-2/;10;32;500;1;1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("命令行中的列表位置无效"));
    // Positions beyond the list are skipped: a start without a selection and an empty manual
    // box, which finds no target and sends nothing.
    r = run({"--console", "/7//9/;10;32;500;1;1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("找不到下面 IP 地址1 主机:")))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("首先请选择或输入 IP 地址。")));
    EXPECT_FALSE(QFile::exists(data.path() + "/SondrelDataBas/Quibbet_DB3.txt"));

    requireEcho();
    // The list loads sorted: a (0), g (1), r (2).
    r = run({"--console", "/0//2/;10;32;500;1;1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.value(0), QStringLiteral("侦测测试32 字节数据:            3  IP "));
    for (int i = 0; i < 3; ++i) {
        const QString address = QStringList{"127.0.0.1", "127.0.0.4", "127.0.0.5"}[i];
        EXPECT_TRUE(r.out.value(i + 1).contains(QStringLiteral("回覆 ") + address + "  "))
            << r.out.value(i + 1).toStdString();
    }
    EXPECT_EQ(log("Quibbet_DB4.txt"), "127.0.0.1,a\r\n127.0.0.4,\r\n127.0.0.5,\r\n");
}

TEST_F(ConsoleMode, HelpAndVersion) {
    Result r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.join('\n').contains("--console"));
    r = run({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.value(0).startsWith("sondrel 9.23"));
}

// A log that cannot be written ends the run at once, with the system's reason and status 2.
TEST_F(ConsoleMode, FullDiskEndsTheRunWithStatusTwo) {
    requireEcho();
    writeList({"A127.0.0.1"});
    Result r;
    {
        // The header and two probe lines fit, the third does not (the limit is inherited).
        testing::FileSizeLimit limit(7 + 2 * 41 + 20);
        ASSERT_TRUE(limit.active());
        r = run({"--console", QStringLiteral("127.0.0.1;100;32;500;10;1")});
    }
    EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromLocal8Bit(std::strerror(EFBIG))) &&
                r.err.contains(QStringLiteral("    侦测_IP")))
        << r.err.toStdString();
    EXPECT_EQ(log("Quibbet_DB3.txt").count('\n'), 3);  // header and two whole lines
}

TEST(ConsoleText, ControlCharactersNeverReachTheTerminalRaw) {
    EXPECT_EQ(TerminalSafe(QStringLiteral("a\x1b]0;title\x07"
                                          "b\r\nc\td\x9b"
                                          "2J")),
              QStringLiteral("a\uFFFD]0;title\uFFFDb\nc\td\uFFFD2J"));
    EXPECT_EQ(TerminalSafe(QStringLiteral("回覆 127.0.0.1")), QStringLiteral("回覆 127.0.0.1"));
}

class ConsoleSignal : public ConsoleMode, public ::testing::WithParamInterface<int> {};

// Ctrl+C, SIGTERM and a closed terminal (SIGHUP) all end the run as a stop does.
TEST_P(ConsoleSignal, StopsAndClosesTheLogWhole) {
    requireEcho();
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program(), {"--console", "127.0.0.1;10;32;500;Continually;1"});
    ASSERT_TRUE(process.waitForStarted());
    // Wait for some replies, then Ctrl+C.
    QByteArray out;
    while (out.count('\n') < 20 && process.waitForReadyRead(5000))
        out += process.readAllStandardOutput();
    ::kill(pid_t(process.processId()), GetParam());
    ASSERT_TRUE(process.waitForFinished(10000));
    out += process.readAllStandardOutput();
    EXPECT_EQ(process.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
    const QString sent = lines.value(lines.size() - 8);
    ASSERT_TRUE(sent.startsWith(QStringLiteral("发送\t"))) << sent.toStdString();
    const int probes = sent.section('\t', 1).toInt();
    EXPECT_EQ(lines.size(), probes + 1 + 8);
    // Every probe that was shown is in the log, and the log ends with a whole line.
    const QByteArray logText = log("Quibbet_DB3.txt");
    EXPECT_EQ(logText.count('\n'), probes + 1);
    EXPECT_TRUE(logText.endsWith("\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Signals, ConsoleSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP));

}  // namespace
}  // namespace sondrel
