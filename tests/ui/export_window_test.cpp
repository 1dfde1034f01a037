#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QTimer>

#include "app/settings.h"
#include "app/ui/export_commands.h"
#include "app/ui/main_menu.h"
#include "engine/ping_test.h"
#include "report/fake_file_dialogs.h"
#include "report/ping_export.h"
#include "report/report_export.h"
#include "report/report_fixture.h"
#include "report/ui/dialog_rpt.h"
#include "support/file_size_limit.h"
#include "support/qt_printers.h"
#include "targets/ui/target_list_controller.h"
#include "window_driver.h"

namespace sondrel {
namespace {

using testing::ClickOn;
using testing::FakeFileDialogs;
using testing::PressKey;
using testing::WindowTest;

QStringList fileLines(const QString& path) {
    QStringList lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing>")};
    lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

// The main window after a ping test of three probes to loopback, its export dialogs answered
// by the test.
class ExportWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        open();
        commands = window->findChild<ExportCommands*>();
        ASSERT_NE(commands, nullptr);
        commands->setFileDialogs(&files);
        window->parameters().setText(ParameterBox::Times, "3");
        typeTarget(QStringLiteral("127.0.0.1"));
        testing::PressReturn(find(QStringLiteral("TextPing")));
        clock.runUntilIdle();
        ASSERT_FALSE(window->runState().activityBusy());
        ASSERT_EQ(echo.sent.size(), 3);
        prompts.clear();
    }
    QString path(const QString& name) const { return out.filePath(name); }
    QStringList expectedPingText() const {
        StampFormatter stamps;
        return PingTextLines(window->pingTest().results(), stamps);
    }

    QTemporaryDir out;
    FakeFileDialogs files;
    ExportCommands* commands = nullptr;
};

TEST_F(ExportWindowTest, TheExportButtonWritesTheRunInTheChosenFormat) {
    files.savePath = path(QStringLiteral("ping.txt"));
    ClickOn(button(QStringLiteral("CommandExport")));
    EXPECT_EQ(files.sources, QList<ExportSource>{ExportSource::Ping});
    EXPECT_EQ(files.asked.value(0), QStringLiteral("侦测 测试结果将导出到此文件"));
    EXPECT_TRUE(files.asked.value(2).startsWith(QStringLiteral("侦测_测试_日志_")));
    EXPECT_EQ(fileLines(files.savePath), expectedPingText());
    EXPECT_EQ(fileLines(files.savePath).filter(QStringLiteral("   回覆 127.0.0.1  ")).size(), 3);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("侦测 测试结果已导出到文件：\r\n\r\n") + files.savePath);
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(window->settings().value(Setting::Path), out.path() + "/");

    // F6 runs the same command; CSV this time, and a cancelled format choice writes nothing.
    files.format = ExportFormat::Csv;
    files.savePath = path(QStringLiteral("ping.csv"));
    PressKey(Qt::Key_F6);
    EXPECT_EQ(fileLines(files.savePath).filter(QStringLiteral(",127.0.0.1,,32,")).size(), 3);
    files.format.reset();
    files.savePath = path(QStringLiteral("never.txt"));
    PressKey(Qt::Key_F6);
    EXPECT_FALSE(QFile::exists(files.savePath));
    EXPECT_EQ(files.sources.size(), 3);
}

TEST_F(ExportWindowTest, NoToTheOverwriteQuestionLeavesTheFileAlone) {
    files.savePath = path(QStringLiteral("ping.txt"));
    ASSERT_TRUE(WriteTextFileAtomically(files.savePath, {"kept"}, nullptr));
    prompts.answer = false;
    ClickOn(button(QStringLiteral("CommandExport")));
    EXPECT_EQ(fileLines(files.savePath), QStringList{"kept"});
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("存在相同的文件名，改写它吗？"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Exclamation);
    prompts.answer = true;
    ClickOn(button(QStringLiteral("CommandExport")));
    EXPECT_EQ(fileLines(files.savePath), expectedPingText());
}

TEST_F(ExportWindowTest, AFailedWriteIsShownAndLeavesNoFile) {
    files.savePath = path(QStringLiteral("no/such/folder/ping.txt"));
    ClickOn(button(QStringLiteral("CommandExport")));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("    exp 侦测 to txt")))
        << prompts.shown[0].text.toStdString();
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::None);
    EXPECT_FALSE(QFile::exists(files.savePath));

    // A full disk: the old file stays whole.
    prompts.clear();
    prompts.answer = true;
    files.format = ExportFormat::Csv;
    files.savePath = path(QStringLiteral("ping.csv"));
    ASSERT_TRUE(WriteTextFileAtomically(files.savePath, {"kept"}, nullptr));
    {
        testing::FileSizeLimit limit(200);
        ASSERT_TRUE(limit.active());
        ClickOn(button(QStringLiteral("CommandExport")));
    }
    ASSERT_EQ(prompts.shown.size(), 2);  // the overwrite question, then the failure
    EXPECT_TRUE(prompts.shown[1].text.endsWith(QStringLiteral("    exp 侦测 to csv")));
    EXPECT_EQ(fileLines(files.savePath), QStringList{"kept"});
}

// DialogRpt opened from the menu after the run: a build fills its seven lists, its export
// writes the report, and it is empty again when opened the next time.
TEST_F(ExportWindowTest, TheReportDialogBuildsExportsAndStartsEmptyNextTime) {
    files.savePath = path(QStringLiteral("report.txt"));
    QStringList firstColumn;
    int rows = -1;
    bool shownModal = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<DialogRpt*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        shownModal = dialog->isVisible();
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("ComboGroupBy"));
        combo->setEditText(QStringLiteral("5"));
        ClickOn(dialog->findChild<QAbstractButton*>(QStringLiteral("CommandBUild")));
        auto* span = dialog->findChild<QListWidget*>(QStringLiteral("List1_0"));
        rows = dialog->findChild<QListWidget*>(QStringLiteral("List1_2"))->count();
        for (int i = 0; i < span->count(); ++i)
            firstColumn << span->item(i)->text();
        ClickOn(dialog->findChild<QAbstractButton*>(QStringLiteral("CommandExport")));
        dialog->reject();  // as the Esc key does
    });
    window->findChild<MainMenu*>()->action(QStringLiteral("mnuReport"))->trigger();
    EXPECT_TRUE(shownModal);
    ASSERT_EQ(rows, 5);  // two empty rows, the target, an empty row, one period
    EXPECT_EQ(firstColumn.value(2), QStringLiteral("侦测  127.0.0.1 :"));
    EXPECT_TRUE(firstColumn.value(4).contains(QStringLiteral(" - ")))
        << firstColumn.value(4).toStdString();
    EXPECT_EQ(files.sources.value(0), ExportSource::Report);
    DialogRpt* dialog = commands->reportDialog();
    ASSERT_TRUE(dialog->report().has_value());
    EXPECT_EQ(fileLines(files.savePath),
              ReportTextLines(*dialog->report(), window->pingTest().results().targets));
    EXPECT_EQ(dialog->report()->targets.at(0).at(0).sent, 3);
    EXPECT_EQ(dialog->findChild<QListWidget*>(QStringLiteral("List1_0"))->count(), 0);
}

// The print path writes the text report into a PDF file; its lines read back from the file.
TEST(ReportPrint, TheTextReportPrintsToAPdfFile) {
    QTemporaryDir dir;
    testing::RecordingPrompts prompts;
    FakeFileDialogs files;
    ExportFrame frame(prompts, files, {});
    testing::RunRig rig;
    testing::ThreeTargets(rig);
    DialogRpt dialog({[&rig] { return rig.run(); }, frame});
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    dialog.setPrinterChooser([&pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    dialog.PrintReport();  // nothing built yet: a message, no file
    EXPECT_EQ(prompts.texts(), QStringList{NoReportBuiltError + QStringLiteral("    ")});
    EXPECT_FALSE(QFile::exists(pdf));
    prompts.clear();
    dialog.BuildReport();
    dialog.PrintReport();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join('|').toStdString();
    ASSERT_TRUE(QFile::exists(pdf));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!text.waitForStarted())
        GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString read = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString& line :
         {QStringLiteral("IP: 127.0.0.1 - 本机"), QStringLiteral("IP: localhost / 127.0.0.2 -"),
          QStringLiteral("IP: 127.0.0.3 - 三"), QStringLiteral("测试时间"),
          QString(102, QLatin1Char('-')), QStringLiteral("50.00 %")})
        EXPECT_TRUE(read.contains(line)) << line.toStdString() << "\n" << read.toStdString();
    const QString firstGroup = dialog.report()->targets.at(0).at(0).fromDateTime;
    EXPECT_TRUE(read.contains(firstGroup)) << firstGroup.toStdString();
}

}  // namespace
}  // namespace sondrel

namespace sondrel {
namespace {

// The list copies of the file menu go through the export dialogs and their remembered folder:
// the list copied out, and a copy in reloading the list shown.
TEST_F(ExportWindowTest, ListCopiesUseTheExportDialogsAndReloadTheList) {
    writeList({"ALoopA,127.0.0.1"});
    window->targetList().list().Fill_IP_List_2();
    files.savePath = path(QStringLiteral("list.txt"));
    find<QAction>(QStringLiteral("mnuExpImp_1"))->trigger();
    EXPECT_EQ(fileLines(files.savePath), QStringList({"ALoopA,127.0.0.1", " "}));
    EXPECT_EQ(window->settings().value(Setting::Path), out.path() + "/");

    QFile in(path(QStringLiteral("in.txt")));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write("ALoopB,127.0.0.2\r\nALoopC,127.0.0.3\r\n \r\n");
    in.close();
    files.openPath = in.fileName();
    prompts.answer = true;
    find<QAction>(QStringLiteral("mnuExpImp_2"))->trigger();
    EXPECT_EQ(find<QListWidget>(QStringLiteral("ListIP"))->count(), 2);
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("已导入 IP 列表"));
}

}  // namespace
}  // namespace sondrel
