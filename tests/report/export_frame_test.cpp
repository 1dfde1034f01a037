#include "report/export_frame.h"

#include <sys/stat.h>
#include <QStandardPaths>

#include "fake_file_dialogs.h"
#include "report/ping_export.h"
#include "report/result_exports.h"
#include "report/scan_export.h"
#include "report/trace_export.h"
#include "report_fixture.h"
#include "support/recording_prompts.h"

namespace sondrel::testing {
namespace {

class ExportFrameTest : public ::testing::Test {
  protected:
    QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QString folder;  // LastExportFolder
    RecordingPrompts prompts;
    FakeFileDialogs dialogs;
    ExportFrame frame{
        prompts, dialogs, {[this] { return folder; }, [this](const QString& f) { folder = f; }}};
    RunRig rig;
};

TEST_F(ExportFrameTest, APingExportAsksWritesAndReports) {
    ThreeTargets(rig);
    dialogs.savePath = QStringLiteral("  ") + dir.filePath(QStringLiteral("ping.txt")) + "\r\n";
    ExportPingResults(frame, rig.run(), ExportFormat::Text);
    EXPECT_EQ(dialogs.asked,
              (QStringList{QStringLiteral("侦测 测试结果将导出到此文件"), DesktopFolder(),
                           QStringLiteral("侦测_测试_日志_03051000"), "txt"}));
    StampFormatter system;
    EXPECT_EQ(read(dir.filePath("ping.txt")), Written(PingTextLines(rig.run(), system)));
    EXPECT_EQ(folder, dir.path() + "/");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("侦测 测试结果已导出到文件：\r\n\r\n") + dir.filePath("ping.txt"));
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("保存文件"));
    // The next dialog opens in the folder of the last one.
    ExportPingResults(frame, rig.run(), ExportFormat::Csv);
    EXPECT_EQ(dialogs.asked.at(5), dir.path() + "/");
    EXPECT_EQ(dialogs.asked.at(7), "csv");
}

TEST_F(ExportFrameTest, NoRecordsNoDialog) {
    rig.target("127.0.0.1", "127.0.0.1", "");
    ExportPingResults(frame, rig.run(), ExportFormat::Csv);
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_EQ(prompts.texts(), QStringList{NoExportDataMessage});
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Information);
}

TEST_F(ExportFrameTest, AnExistingFileIsReplacedOnlyAfterYes) {
    ThreeTargets(rig);
    const QString path = dir.filePath(QStringLiteral("ping.csv"));
    WriteTextFileAtomically(path, {"old"}, nullptr);
    dialogs.savePath = path;
    prompts.answer = false;
    ExportPingResults(frame, rig.run(), ExportFormat::Csv);
    EXPECT_EQ(read(path), "old\r\n");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, OverwriteQuestion);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("信息"));
    prompts.answer = true;
    ExportPingResults(frame, rig.run(), ExportFormat::Csv);
    EXPECT_TRUE(read(path).startsWith(QStringLiteral("侦测测试，").toUtf8()));
}

TEST_F(ExportFrameTest, AFailedWriteKeepsTheOldFileAndNamesTheExport) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ThreeTargets(rig);
    const QString sub = dir.filePath(QStringLiteral("locked"));
    QDir().mkpath(sub);
    const QString path = sub + QStringLiteral("/ping.txt");
    WriteTextFileAtomically(path, {"old"}, nullptr);
    ::chmod(QFile::encodeName(sub).constData(), 0555);
    dialogs.savePath = path;
    prompts.answer = true;
    ExportPingResults(frame, rig.run(), ExportFormat::Text);
    ::chmod(QFile::encodeName(sub).constData(), 0755);
    EXPECT_EQ(read(path), "old\r\n");
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(prompts.shown[1].text.endsWith(QStringLiteral("    exp 侦测 to txt")));
}

// Root may write anywhere: a path whose folder is a file fails for everybody.
TEST_F(ExportFrameTest, AWriteIntoAMissingFolderFailsWithTheReason) {
    ThreeTargets(rig);
    dialogs.savePath = dir.filePath(QStringLiteral("no/such/folder/ping.csv"));
    ExportPingResults(frame, rig.run(), ExportFormat::Csv);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("    exp 侦测 to csv")));
    EXPECT_GT(prompts.shown[0].text.size(), QStringLiteral("    exp 侦测 to csv").size());
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::None);
}

TEST_F(ExportFrameTest, CancelledDialogsWriteNothingAndSayNothing) {
    ThreeTargets(rig);
    ExportPingResults(frame, rig.run(), ExportFormat::Text);
    EXPECT_TRUE(prompts.shown.isEmpty());
    ResultExports exports(frame);
    int runs = 0;
    exports.setExporter(ExportSource::Ping, [&runs](ExportFormat) { ++runs; });
    dialogs.format.reset();
    exports.ExportResults(ExportSource::Ping);
    dialogs.format = ExportFormat::Csv;
    exports.ExportResults(ExportSource::Scan);  // no exporter yet: nothing happens
    EXPECT_EQ(runs, 0);
    exports.ExportResults(ExportSource::Ping);
    EXPECT_EQ(runs, 1);
}

TEST_F(ExportFrameTest, TheTraceExportMatchesTheGoldenFileAndWaitsForTheEnd) {
    std::vector<TraceRecord> records(2);
    records[0].startTime = QStringLiteral("2024/03/05 10:00:01");
    records[0].lineCount = 2;
    records[0].lines =
        QStringList{QStringLiteral("(1） 路由跟踪127.0.0.1最多30 hops"),
                    QStringLiteral("  1    <1 毫秒    <1 毫秒    <1 毫秒  127.0.0.1"),
                    QStringLiteral("跟踪完成。"), QStringLiteral("beyond the count")};
    records[1].lineCount = 1;
    records[1].lines = QStringList{QStringLiteral("(2） 路由跟踪127.0.0.2最多30 hops"),
                                   QStringLiteral("请求超时。")};
    EXPECT_EQ(Written(TraceExportLines(records)), Golden("trace.txt"));
    ExportTraceResults(frame, records, false, ExportFormat::Text);
    EXPECT_EQ(prompts.texts(), QStringList{NoTraceDataMessage});
    dialogs.savePath = dir.filePath(QStringLiteral("trace.csv"));
    ExportTraceResults(frame, records, true, ExportFormat::Csv);
    EXPECT_EQ(dialogs.asked.at(2), QStringLiteral("追踪_日志_2024030510000"));
    EXPECT_EQ(read(dialogs.savePath), Golden("trace.txt"));
}

TEST_F(ExportFrameTest, OpenResultFileUsesTheDesktopHandler) {
    folder = dir.path() + "/";
    frame.OpenResultFile();
    EXPECT_TRUE(dialogs.opened.isEmpty());
    dialogs.openPath = dir.filePath(QStringLiteral("a.csv"));
    dialogs.openError = QStringLiteral("没有应用程序");
    frame.OpenResultFile();
    EXPECT_EQ(dialogs.opened, QStringList{dir.filePath("a.csv")});
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("没有应用程序   ")});
    EXPECT_EQ(FolderOfPath(QStringLiteral("/a/b/c.txt")), QStringLiteral("/a/b/"));
    EXPECT_EQ(FolderOfPath(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
}

}  // namespace
}  // namespace sondrel::testing

namespace sondrel {
namespace {

// One answering and two silent rows: each under its own heading, numbered from 1, with the
// title of its position; an empty table only says so.
TEST(ScanExport, AnsweringAndSilentRowsMatchTheGoldenFile) {
    using testing::At;
    using testing::Golden;
    using testing::Written;
    const ScanTable table{{"127.0.0.1", ScanNoAnswer, "", "", ""},
                          {"127.0.0.2", "1", "alpha", "00-1A-2B-3C-4D-5E", "64"},
                          {"127.0.0.3", ScanNoAnswer, "", "", ""}};
    const QStringList titles{"", "Lab (a)", "Lab (c)"};
    const ScanExportData data{table, "3", "1", "2", titles};
    EXPECT_EQ(Written(ScanExportLines(data, "2024-03-05 10:00:00")), Golden("scan.txt"));
    EXPECT_EQ(ShortTimeStamp(At(9, 7, 0)), "2403050907");

    testing::RecordingPrompts prompts;
    testing::FakeFileDialogs dialogs;
    ExportFrame frame(prompts, dialogs, {[] { return QString(); }, [](const QString&) {}});
    const ScanTable empty;
    ExportScanResults(frame, {empty, "", "", "", titles}, ExportFormat::Text, At(9, 7, 0));
    EXPECT_EQ(prompts.texts(), QStringList{NoScanDataMessage});
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

}  // namespace
}  // namespace sondrel

namespace sondrel {
namespace {

// The dialogs start on the desktop, or in the home folder when there is no desktop folder
// (a file dialog would fall back to the current folder instead).
TEST(ExportFolders, TheDesktopOrElseTheHomeFolder) {
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());  // no user-dirs file
    EXPECT_EQ(DesktopFolder(), home.path() + "/");
    ASSERT_TRUE(QDir(home.path()).mkdir("Desktop"));
    EXPECT_EQ(DesktopFolder(), home.path() + "/Desktop/");
    qputenv("HOME", savedHome);
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

}  // namespace
}  // namespace sondrel
