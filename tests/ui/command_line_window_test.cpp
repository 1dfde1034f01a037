#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>

#include "app/command_line.h"
#include "app/ui/dialog_command_line.h"
#include "common/run_state.h"
#include "window_driver.h"

namespace sondrel {
namespace {

using testing::ClickOn;
using testing::WindowTest;

const QString Valid = QStringLiteral("10.0.0.9;1000 毫秒;64  字节;900 毫秒;4;2");

class CommandLineWindow : public WindowTest {
  protected:
    QString box(ParameterBox which) const { return window->parameters().text(which); }
    QStringList boxes() const {
        return {box(ParameterBox::Interval), box(ParameterBox::Size), box(ParameterBox::TimeOut),
                box(ParameterBox::Times), box(ParameterBox::RepIP)};
    }
    // The argument text a shell hands the program for the built command.
    static QString argumentOf(const QString& built) {
        QProcess shell;
        shell.start("sh", {"-c", "set -- " + built + "\nprintf '%s' \"$2\""});
        shell.waitForFinished();
        return QString::fromUtf8(shell.readAllStandardOutput());
    }
};

TEST_F(CommandLineWindow, SixFieldsSetTheBoxesAndStartTheTest) {
    open(Valid);
    window->ApplyCommandLine();
    EXPECT_EQ(boxes(), QStringList({QStringLiteral("1000 毫秒"), QStringLiteral("64  字节"),
                                    QStringLiteral("900 毫秒"), "4", "2"}));
    EXPECT_EQ(find<QLineEdit>("TextPing")->text(), "10.0.0.9");
    EXPECT_TRUE(window->runState().activityBusy());
    clock.runUntilIdle();
    EXPECT_EQ(echo.sent.size(), 8);  // four rounds of two probes
    EXPECT_EQ(echo.sent[0].size, 64);
    EXPECT_EQ(echo.sent[0].timeout, 900);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
    // The argument text is applied once.
    window->ApplyCommandLine();
    clock.runUntilIdle();
    EXPECT_EQ(echo.sent.size(), 8);
}

TEST_F(CommandLineWindow, NothingOrOneFieldIsIgnored) {
    for (const QString& text : {QString(), QStringLiteral("10.0.0.9")}) {
        open(text);
        const QStringList before = boxes();
        window->ApplyCommandLine();
        EXPECT_EQ(boxes(), before);
        EXPECT_FALSE(window->runState().activityBusy());
        EXPECT_EQ(find<QLineEdit>("TextPing")->text(), "");
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(CommandLineWindow, WrongFieldCountIsIncorrectAndChangesNothing) {
    open(QStringLiteral("10.0.0.9;1000 毫秒;64  字节;900 毫秒;4"));
    const QStringList before = boxes();
    window->ApplyCommandLine();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("命令行不正确。"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(boxes(), before);
    EXPECT_FALSE(window->runState().activityBusy());
}

TEST_F(CommandLineWindow, BadParametersShowTheirMessagesAndTheStartChecksDecide) {
    // A bad interval is reported and replaced by the default; the test still starts.
    open(QStringLiteral("10.0.0.9;abc;32  字节;500 毫秒;4;1"));
    window->ApplyCommandLine();
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("Inalid 测试时间间隔。")}));
    EXPECT_EQ(box(ParameterBox::Interval), QStringLiteral("600 毫秒"));
    EXPECT_EQ(box(ParameterBox::Times), "4");  // the later boxes are still set
    clock.runUntilIdle();
    EXPECT_EQ(echo.sent.size(), 4);

    // A number of tests the start check refuses: reported while set and at the start.
    prompts.clear();
    echo.sent.clear();
    open(QStringLiteral("10.0.0.9;1000 毫秒;32  字节;500 毫秒;0;1"));
    window->ApplyCommandLine();
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("Inalid 试验次数。"),
                                            QStringLiteral("Inalid 试验次数。")}));
    clock.runUntilIdle();
    EXPECT_TRUE(echo.sent.isEmpty());
    EXPECT_FALSE(window->runState().activityBusy());
}

TEST_F(CommandLineWindow, NegativeListPositionIsALoadErrorAndNothingStarts) {
    open(QStringLiteral("/1/-2/;1000 毫秒;32  字节;500 毫秒;4;1"));
    window->ApplyCommandLine();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("   窗口_加载")));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_TRUE(echo.sent.isEmpty());
}

TEST_F(CommandLineWindow, ListPositionsWithoutAListStartWithTheManualBox) {
    open(QStringLiteral("/0//2/;1000 毫秒;32  字节;500 毫秒;4;1"));
    find<QLineEdit>("TextPing")->setText("10.0.0.3");
    window->ApplyCommandLine();
    clock.runUntilIdle();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"10.0.0.3", "10.0.0.3", "10.0.0.3", "10.0.0.3"}));
}

TEST_F(CommandLineWindow, BuilderNeedsATarget) {
    open();
    find<QLineEdit>("TextPing")->setText("   ");
    find<QAction>("mnuBuildCmdLine")->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("首先请选择或输入 IP 地址。"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(window->findChild<DialogCommandLine*>(), nullptr);
}

TEST_F(CommandLineWindow, BuiltCommandCopiesTheEditedTextAndStartsTheSameTest) {
    open();
    typeTarget(" 10.0.0.5 ");
    window->parameters().setText(ParameterBox::Times, "4");
    QString copied;
    bool stayedOpen = false;
    testing::WhenModal([&](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral(" Command Line Builder"));
        auto* text1 = dialog->findChild<QPlainTextEdit*>("Text1");
        text1->moveCursor(QTextCursor::End);
        testing::TypeKeys(text1, " #");
        ClickOn(dialog->findChild<QAbstractButton*>("OKButton"));
        copied = QGuiApplication::clipboard()->text();
        stayedOpen = dialog->isVisible();
        ClickOn(dialog->findChild<QAbstractButton*>("Command1"));
    });
    find<QAction>("mnuBuildCmdLine")->trigger();
    const QString built = window->builtCommandLine();
    EXPECT_EQ(copied, built + " #");
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(window->findChild<DialogCommandLine*>()->isVisible());
    const QString argument = argumentOf(built);
    EXPECT_EQ(argument, "10.0.0.5;" + boxes().join(';'));

    // Started as is, the built command sets the same boxes and tests the same target.
    const QStringList texts = boxes();
    window.reset();
    open(argument);
    window->ApplyCommandLine();
    EXPECT_EQ(boxes(), texts);
    clock.runUntilIdle();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"10.0.0.5", "10.0.0.5", "10.0.0.5", "10.0.0.5"}));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

}  // namespace
}  // namespace sondrel
