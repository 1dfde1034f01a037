#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "app/console_trace.h"
#include "app/tracert_path.h"
#include "engine/icmp_echo.h"
#include "program_run.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

// A record as the trace keeps it: its caption once started, then the lines read so far.
TraceRecord Record(qint32 index, const QStringList& read, bool done) {
    TraceRecord record;
    record.capacity = 39;
    record.begin(index, QStringLiteral("127.0.0.%1").arg(index + 1), 30, QString(), "t0");
    if (!read.isEmpty()) {
        record.lines = read;
        record.lineCount = qint32(read.size());
    }
    record.done = done;
    return record;
}

TEST(TraceConsoleLines, ATargetPrintsAsItIsReadAndTheNextOneOnlyOnceItIsDone) {
    TraceConsoleLines printer;
    std::vector<TraceRecord> records{Record(0, {}, false), Record(1, {"", "b1"}, false)};
    // Nothing read yet: the caption is not a line of the output.
    EXPECT_EQ(printer.take(records, false), QStringList());

    records[0] = Record(0, {"", "a1"}, false);
    EXPECT_EQ(printer.take(records, false), QStringList({"", "a1"}));
    EXPECT_EQ(printer.take(records, false), QStringList());  // never twice
    // A "完成" line changes with every read: it and what follows wait for the end.
    records[0] = Record(0, {"", "a1", "a2", "跟踪完成。 从 t0 到 t1", "x"}, false);
    EXPECT_EQ(printer.take(records, false), QStringList({"a2"}));
    EXPECT_EQ(printer.target(), 0);

    records[0] = Record(0, {"", "a1", "a2", "跟踪完成。 从 t0 到 t2", "x"}, true);
    records[1] = Record(1, {"", "b1", "b2"}, false);
    EXPECT_EQ(printer.take(records, false),
              QStringList({"跟踪完成。 从 t0 到 t2", "x", "", "b1", "b2"}));
    EXPECT_EQ(printer.target(), 1);
    records[1] = Record(1, {"", "b1", "b2", "b3"}, true);
    EXPECT_EQ(printer.take(records, false), QStringList({"b3"}));
    EXPECT_EQ(printer.target(), 2);
    EXPECT_EQ(printer.take(records, true), QStringList());
}

TEST(TraceConsoleLines, TheEndPrintsWhatEveryTargetHolds) {
    TraceConsoleLines printer;
    std::vector<TraceRecord> records{Record(0, {"", "a1", "跟踪完成。"}, false),
                                     Record(1, {}, true), Record(2, {}, false), TraceRecord{}};
    EXPECT_EQ(printer.take(records, false), QStringList({"", "a1"}));
    // Stopped: the held line of target 0, the caption of two traces without output (one ended,
    // one killed), nothing for the target never started.
    EXPECT_EQ(printer.take(records, true),
              QStringList({"跟踪完成。", records[1].line(0), records[2].line(0)}));
    EXPECT_EQ(records[1].line(0), QStringLiteral("(2） 路由跟踪127.0.0.2最多30 hops ......"));
    EXPECT_EQ(printer.take(records, true), QStringList());
}

TEST(TraceCommandLineText, FiveFieldsAndAResolveFlag) {
    TraceCommandLine parsed;
    ASSERT_TRUE(ParseTraceCommandLine(QStringLiteral("/0//2/; 30 ;10.0.0.1 10.0.0.2;;1"), &parsed));
    EXPECT_EQ(parsed.targets, "/0//2/");
    EXPECT_EQ(parsed.options.maxHops, " 30 ");  // trimmed by the option checks, as typed
    EXPECT_EQ(parsed.options.hostList, "10.0.0.1 10.0.0.2");
    EXPECT_EQ(parsed.options.timeOut, "");
    EXPECT_TRUE(parsed.options.resolveNames);
    ASSERT_TRUE(ParseTraceCommandLine("a;;;;0", &parsed));
    EXPECT_FALSE(parsed.options.resolveNames);

    for (const char* refused :
         {"", "127.0.0.1", "127.0.0.1;30;;1000", "127.0.0.1;30;;1000;1;x", "127.0.0.1;30;;1000;",
          "127.0.0.1;30;;1000;yes", "127.0.0.1;30;;1000; 1"}) {
        TraceCommandLine untouched;
        untouched.targets = "kept";
        EXPECT_FALSE(ParseTraceCommandLine(refused, &untouched)) << refused;
        EXPECT_EQ(untouched.targets, "kept") << refused;
    }
}

TEST(TracertPath, TheProgramBesideUsElseTheInstalledOne) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir().mkpath(folder.path() + "/bin"));
    const QString bin = folder.path() + "/bin";
    const QString installed = folder.path() + "/libexec/sondrel/tracert";
    EXPECT_EQ(TracertProgramPathIn(bin), installed);
    QFile beside(bin + "/tracert");
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.close();
    EXPECT_EQ(TracertProgramPathIn(bin), installed);  // not executable
    ASSERT_TRUE(beside.setPermissions(beside.permissions() | QFile::ExeOwner));
    EXPECT_EQ(TracertProgramPathIn(bin), beside.fileName());
}

// Runs the real program with its own data and settings folders; traces go to loopback only.
class ConsoleTrace : public testing::ProgramRun {
  protected:
    QString tempFolder() const { return data.path() + "/SondrelDataBas/温度"; }
    void requireTracert() {
        const QFileInfo tracert(TracertProgramPathIn(SONDREL_BINARY_DIR "/src"));
        if (!tracert.isExecutable())
            GTEST_SKIP() << "no tracert built at " << tracert.filePath().toStdString();
        requireEcho();
    }
};

TEST_F(ConsoleTrace, RefusedCommandLinesAndOptionsExitTwoAndStartNothing) {
    const struct {
        const char* text;
        QString message;
    } refusals[] = {
        {"127.0.0.1;30;;1000", QStringLiteral("命令行不正确。")},
        {"127.0.0.1;30;;1000;2", QStringLiteral("命令行不正确。")},
        {"127.0.0.1;0;;1000;0", QStringLiteral("Inalid 最大跃点数。")},
        {"127.0.0.1;abc;;;0", QStringLiteral("Inalid 最大跃点数。")},
        {"127.0.0.1;;127.0.0;;0", QStringLiteral("IInalid沿主机列表释放源路由")},
        {"127.0.0.1;;;0;1", QStringLiteral("Inalid 超时值。")},
    };
    for (const auto& refusal : refusals) {
        const Result r = run({"--trace", QString::fromUtf8(refusal.text)}, true);
        EXPECT_EQ(r.exitCode, 2) << refusal.text;
        EXPECT_EQ(r.err.trimmed(), refusal.message) << refusal.text;
        EXPECT_TRUE(r.out.isEmpty()) << refusal.text;
    }
    Result r = run({"--trace"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("--trace TEXT"));
    EXPECT_FALSE(QFileInfo::exists(tempFolder()));

    r = run({"--help"});
    EXPECT_TRUE(r.out.join('\n').contains(QStringLiteral("TARGETS;HOPS;HOSTLIST;TIMEOUT;RESOLVE")));
}

TEST_F(ConsoleTrace, ListPositionsAreRefusedOrFindNoTarget) {
    writeList({"Bg,127.0.0.2,127.0.0.3", "Aa,127.0.0.1"});
    Result r = run({"--trace", "/1/-2/;5;;500;0"}, true);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("命令行中的列表位置无效"));
    // Only positions past the end: a start without a selection, which finds no target.
    r = run({"--trace", "/7//9/;5;;500;0"}, true);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("找不到下面 IP 地址"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(ConsoleTrace, LoopbackTracesPrintTheirNumberedLinesInTargetOrder) {
    requireTracert();
    Result r = run({"--trace", "127.0.0.1;5;;1000;0"}, true);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.value(0), QStringLiteral("跟踪路径到1 主机 ..."));
    EXPECT_TRUE(r.out.contains(QStringLiteral("通过最多 5 个跃点(1） 跟踪到 127.0.0.1 的路由:")))
        << r.out.join('\n').toStdString();
    EXPECT_TRUE(
        r.out.value(r.out.size() - 2).startsWith(QStringLiteral("(1） 跟踪完成。      从  ")))
        << r.out.join('\n').toStdString();
    EXPECT_EQ(r.out.last(), QStringLiteral("跟踪路径到1 主机.       全部完成."));
    const QStringList files = QDir(tempFolder()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith("TMP") && files[0].endsWith("0.txt"));

    // Two entries of the list: the second target's lines all after the first one's.
    writeList({"Bb,127.0.0.2", "Aa,127.0.0.1"});
    r = run({"--trace", "/0//1/;3;;1000;0"}, true);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QList<qsizetype> starts, ends;
    for (int t = 1; t <= 2; ++t) {
        const QString mark = QStringLiteral("(%1） 跟踪").arg(t);
        qsizetype first = -1, last = -1;
        for (qsizetype i = 0; i < r.out.size(); ++i) {
            if (r.out[i].contains(mark)) {
                first = first < 0 ? i : first;
                last = i;
            }
        }
        starts << first;
        ends << last;
    }
    EXPECT_GE(starts[0], 0);
    EXPECT_LT(ends[0], starts[1]) << r.out.join('\n').toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("通过最多 3 个跃点(2） 跟踪到 127.0.0.2 的路由:")));
    EXPECT_EQ(r.out.count(QStringLiteral("通过最多 3 个跃点(1） 跟踪到 127.0.0.1 的路由:")), 1);
}

}  // namespace
}  // namespace sondrel
