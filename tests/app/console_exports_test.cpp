#include "app/console_exports.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "common/text_file.h"
#include "engine/icmp_echo.h"
#include "engine/result_log.h"
#include "engine/result_log_reload.h"
#include "program_run.h"
#include "report/ping_export.h"
#include "report/report_export.h"
#include "report/summary_report.h"
#include "support/file_size_limit.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

// Runs the real program in console mode with folders of its own and a list file it wrote;
// probes go to loopback only.
class ConsoleExportRun : public testing::ProgramRun {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(dataFolder()));
        QFile list(dataFolder() + TargetListName);
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("A本机,127.0.0.1\r\n \r\n");
    }
    QString file(const QString& name) const { return out.filePath(name); }
    static QStringList lines(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {QStringLiteral("<missing>")};
        QStringList read = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        read.removeLast();  // after the last line end
        return read;
    }
    // The run the program made, rebuilt from its result logs.
    void reload() {
        ASSERT_TRUE(ReadRunLog(dataFolder() + RunLogFileName, logged));
        ASSERT_TRUE(ReloadTargetTable(dataFolder() + TargetTableFileName, logged.header.targetCount,
                                      targets.targetShow, targets.targetTitle)
                        .isEmpty());
        for (const QString& show : std::as_const(targets.targetShow))
            targets.targetIP << show.section(QStringLiteral(" / "), -1);
        records.adopt(std::move(logged.records), logged.firstProbe);
    }
    RunResults results() const {
        return {records, logged.stats, targets, std::max(logged.header.repeatPerIP, 1)};
    }

    static inline const QString TargetListName = QStringLiteral("Quibbet_DB1.txt");
    QTemporaryDir out;
    ReloadedRun logged;
    ReplyRecords records;
    ExpandedTargets targets;
};

TEST_F(ConsoleExportRun, TextExportAndCsvReportHoldTheRunAsTheWindowWouldWriteIt) {
    requireEcho();
    WriteTextFileAtomically(file("ping.txt"), {"old"}, nullptr);  // replaced
    const Result r = run({"--console", "127.0.0.1;10;32;500;3;2", "--export", file("ping.txt"),
                          "--report", file("report.csv"), "--group-by", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 1 + 6 + 8);  // heading, six replies, summary
    reload();
    const QStringList text = lines(file("ping.txt"));
    StampFormatter stamps;
    EXPECT_EQ(text, PingTextLines(results(), stamps));
    // Six detail lines under the one target, numbered from 1.
    const qsizetype first = text.indexOf(QStringLiteral("侦测  127.0.0.1:")) + 2;
    ASSERT_GT(first, 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(text.value(first + i).startsWith(QString::number(i + 1) + ". "))
            << text.value(first + i).toStdString();
    EXPECT_EQ(text.value(first + 6), QStringLiteral("  "));

    const QStringList csv = lines(file("report.csv"));
    const SummaryReport report = BuildPeriodReport(results(), 5, stamps);
    EXPECT_EQ(csv, ReportCsvLines(report, targets));
    EXPECT_EQ(csv.value(0), QStringLiteral("侦测测试报告"));
    EXPECT_EQ(csv.value(2), QStringLiteral("IP: 127.0.0.1 - "));
    // One period of five minutes holds all six replies.
    EXPECT_TRUE(csv.value(4).contains(QStringLiteral(",64,6,0,"))) << csv.value(4).toStdString();
    EXPECT_TRUE(csv.value(4).endsWith(QStringLiteral(",0.00 %  "))) << csv.value(4).toStdString();
}

TEST_F(ConsoleExportRun, CsvExportAndTextReportBySize) {
    requireEcho();
    const Result r = run({"--console", "127.0.0.1;10;32;500;2;1", "--report", file("size.TXT"),
                          "--group-by", "size", "--export", file("ping.csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    reload();
    StampFormatter stamps;
    const QStringList csv = lines(file("ping.csv"));
    EXPECT_EQ(csv, PingCsvLines(results(), stamps));
    EXPECT_EQ(csv.filter(QRegularExpression(QStringLiteral("^\\d\\.,"))).size(), 2);
    const QStringList text = lines(file("size.TXT"));
    EXPECT_EQ(text, ReportTextLines(BuildSizeReport(results(), stamps), targets));
    EXPECT_EQ(text.value(2), QString(123, QLatin1Char('-')));
    EXPECT_TRUE(text.value(6).contains(QStringLiteral("\t32      \t64\t2\t0\t")))
        << text.value(6).toStdString();
}

// A file that cannot be written after the run: the summary stands, the reason is on stderr,
// the old file is untouched and the status is 2.
TEST_F(ConsoleExportRun, AnUnwritableFileEndsWithStatusTwo) {
    requireEcho();
    WriteTextFileAtomically(file("ping.txt"), {"old"}, nullptr);
    Result r;
    {
        // The run log (header and three lines) fits; the export does not.
        testing::FileSizeLimit limit(400);
        ASSERT_TRUE(limit.active());
        r = run({"--console", "127.0.0.1;10;32;500;3;1", "--export", file("ping.txt")});
    }
    EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
    EXPECT_EQ(r.out.size(), 1 + 3 + 8);
    EXPECT_TRUE(r.err.contains(QStringLiteral("    exp 侦测 to txt"))) << r.err.toStdString();
    EXPECT_EQ(lines(file("ping.txt")), QStringList{"old"});
}

TEST_F(ConsoleExportRun, RefusedOptionsExitTwoWithUsageBeforeAnyProbe) {
    const QString text = "127.0.0.1;10;32;500;1;1";
    const QList<QStringList> refused{{"--report", file("r.txt"), "--group-by", "0"},
                                     {"--report", file("r.txt"), "--group-by", "ten"},
                                     {"--report", file("r.txt"), "--group-by"},
                                     {"--group-by", "5"},
                                     {"--export", file("r.pdf")},
                                     {"--export", file("missing/r.txt")},
                                     {"--export", file("r.txt"), "--export", file("s.txt")},
                                     {"--export", file("r.txt"), "--report", file("r.txt")},
                                     {"--exports", file("r.txt")}};
    for (const QStringList& options : refused) {
        const Result r = run(QStringList{"--console", text} + options);
        EXPECT_EQ(r.exitCode, 2) << options.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Usage: sondrel")) << options.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dataFolder() + RunLogFileName));
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());
    const Result help = run({"--help"});
    EXPECT_TRUE(help.out.join('\n').contains("--export FILE"));
    EXPECT_TRUE(help.out.join('\n').contains("--group-by MINUTES|size"));
}

TEST(ConsoleExportOptions, ReadTheFilesAndTheGrouping) {
    QTemporaryDir dir;
    ConsoleExports read;
    QString reason;
    ASSERT_TRUE(ParseConsoleExports({"--report", dir.filePath("a.Csv")}, &read, &reason));
    EXPECT_EQ(read.reportPath, dir.filePath("a.Csv"));
    EXPECT_EQ(read.period, 0);
    EXPECT_FALSE(read.bySize);
    ASSERT_TRUE(ParseConsoleExports(
        {"--group-by", "90", "--report", dir.filePath("a.txt"), "--export", dir.filePath("b.csv")},
        &read, &reason));
    EXPECT_EQ(read.period, 90);
    EXPECT_EQ(read.exportPath, dir.filePath("b.csv"));
    ASSERT_TRUE(ParseConsoleExports({}, &read, &reason));
    EXPECT_FALSE(read.any());
    EXPECT_FALSE(ParseConsoleExports({"--report", dir.path()}, &read, &reason));
    EXPECT_FALSE(ParseConsoleExports({"--report", dir.filePath("a.txt"), "--group-by", "+5"}, &read,
                                     &reason));
    EXPECT_FALSE(ParseConsoleExports({"--report", dir.filePath("a.txt"), "--group-by", "-5"}, &read,
                                     &reason));
    EXPECT_TRUE(reason.startsWith("--group-by")) << reason.toStdString();
}

}  // namespace
}  // namespace sondrel
