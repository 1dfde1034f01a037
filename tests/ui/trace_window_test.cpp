#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>

#include "app/settings.h"
#include "trace/trace_files.h"
#include "trace/trace_run.h"
#include "window_driver.h"

namespace sondrel {
namespace {

using testing::FakeProcessScript;

// What our tracert prints for a target one hop away, done at `endMs`.
FakeProcessScript OneHop(const QString& target, qint64 endMs) {
    const QString lines = "\r\n通过最多 30 个跃点跟踪到 " + target +
                          " 的路由:\r\n\r\n  1    <1 毫秒 " + target + "\r\n\r\n跟踪完成。\r\n";
    return FakeProcessScript().write(endMs, lines.toUtf8()).exitAt(endMs, 0);
}

// The route trace page of the window over scripted tracert programs.
class TraceWindowTest : public testing::WindowTest {
  protected:
    TraceWindowTest() { settingsPath = config.path() + "/Sondrel.conf"; }
    QString title() { return find<QLabel>("LabelTittle_0")->text(); }
    QString row(int item) { return find<QLabel>(QStringLiteral("sIP_%1").arg(item))->text(); }
    QComboBox* box(int item) {
        return find<QComboBox>(QStringLiteral("ComboTracert_%1").arg(item));
    }
    QString stored(Setting setting) {
        Settings s(settingsPath);
        s.ReadSettings();
        return s.value(setting);
    }
    void traceTyped(const QString& target) {
        find<QAction>("mnuSelectTracert")->trigger();
        typeTarget(target);
        testing::PressReturn(find("TextPing"));
        clock.advance(0);
    }

    QTemporaryDir config;
};

TEST_F(TraceWindowTest, SelectorsSwapTheFramesAndStartButtons) {
    open();
    find<QAction>("mnuSelectTracert")->trigger();
    EXPECT_EQ(window->runState().selectedFunction, Activity::Trace);
    EXPECT_TRUE(find("Frame1_2")->isVisible());
    EXPECT_FALSE(find("Frame1_1")->isVisible());
    EXPECT_TRUE(find("CommandTracert")->isVisible());
    EXPECT_FALSE(find("CommandStart")->isVisible());
    EXPECT_FALSE(find("ComboTo")->isEnabled());
    testing::ClickOn(find("CommandSelectFun_1"));
    QMenu* functions = find<QMenu>("mnuFunction");
    EXPECT_TRUE(functions->isVisible());
    functions->hide();
    find<QAction>("mnuSelectPing")->trigger();
    EXPECT_TRUE(find("Frame1_1")->isVisible());
    EXPECT_FALSE(find("Frame1_2")->isVisible());
}

// Enter in the manual box runs the trace while it is offered; the options of the frame go on
// the argument list, the defaults are saved before the program starts, the run ends complete.
TEST_F(TraceWindowTest, EnterTracesTheTypedTargetWithTheFramesOptions) {
    open();
    box(1)->setEditText("12");
    box(3)->setEditText("800");
    processes.addScript(OneHop("127.0.0.1", 1500));
    traceTyped("127.0.0.1");
    ASSERT_EQ(processes.starts().size(), 1u);
    EXPECT_EQ(processes.starts()[0].program, TracertProgram);
    EXPECT_EQ(processes.starts()[0].arguments,
              QStringList({"-d", "-h", "12", "-w", "800", "127.0.0.1"}));
    EXPECT_EQ(title(), QStringLiteral("跟踪路径到1 主机 ..."));
    EXPECT_EQ(row(0), QStringLiteral("(1） 路由跟踪127.0.0.1最多12 hops ......"));
    EXPECT_FALSE(enabled("CommandTracert"));
    EXPECT_FALSE(enabled("CommandStart"));
    EXPECT_EQ(stored(Setting::CmdType), QStringLiteral("跟踪"));
    EXPECT_EQ(stored(Setting::HopNumber), "12");
    EXPECT_EQ(stored(Setting::TimeOut2), "800");
    EXPECT_EQ(stored(Setting::IPQty), "1");
    EXPECT_EQ(stored(Setting::TraceFileName), window->traceRun().fileBase());

    clock.advance(2000);
    EXPECT_EQ(title(), QStringLiteral("跟踪路径到1 主机.       全部完成."));
    EXPECT_EQ(row(1), QStringLiteral("通过最多 30 个跃点(1） 跟踪到 127.0.0.1 的路由:"));
    clock.advance(2000);  // the stop that ends every run waits its two seconds
    EXPECT_TRUE(enabled("CommandTracert"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

// F11 traces while the ping test is offered; the stop goes to the trace, kills its program
// and ends the run two seconds later.
TEST_F(TraceWindowTest, StopKillsTheRunningTraceAndSaysSo) {
    open();
    processes.addScript(FakeProcessScript().exitAt(3'600'000, 0));
    typeTarget("127.0.0.2");
    find<QAction>("mnuTracert")->trigger();
    clock.advance(0);
    ASSERT_EQ(processes.runningCount(), 1);
    testing::ClickOn(find("CommandStop"));
    EXPECT_EQ(processes.killCount(), 1);
    EXPECT_FALSE(enabled("CommandStop"));
    clock.advance(2000);
    EXPECT_EQ(title(), QStringLiteral("跟踪路径到1 主机.       停止."));
    EXPECT_TRUE(enabled("CommandStop"));
    EXPECT_TRUE(enabled("CommandStart"));
    EXPECT_TRUE(echo.sent.isEmpty());
}

// The last trace is shown again at start-up, with the stored options in the frame.
TEST_F(TraceWindowTest, StartUpOnTheTracePageShowsTheLastTrace) {
    const QString base = TraceFileBase(TraceTempFolder(folder.path() + "/"),
                                       QDateTime(QDate(2026, 12, 8), QTime(10, 45, 30)));
    ASSERT_TRUE(QDir().mkpath(TraceTempFolder(folder.path() + "/")));
    for (int i = 0; i < 2; ++i) {
        QFile file(TraceOutputFile(base, i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("\r\n跟踪到 127.0.0.%1\r\n跟踪完成。\r\n").arg(i + 1).toUtf8());
    }
    Settings s(settingsPath);
    for (const auto& [setting, text] : {std::pair{Setting::CmdType, QStringLiteral("跟踪")},
                                        {Setting::TraceFileName, base},
                                        {Setting::IPQty, QStringLiteral("2")},
                                        {Setting::HopNumber, QStringLiteral("15")},
                                        {Setting::IPtoName, QStringLiteral("1")}})
        s.setValue(setting, text);
    ASSERT_TRUE(s.WriteSettings().isEmpty());
    open();
    window->LoadAfterShow();
    EXPECT_TRUE(find("CommandTracert")->isVisible());
    EXPECT_EQ(box(1)->currentText(), "15");
    EXPECT_TRUE(find<QCheckBox>("CheckIPtoName")->isChecked());
    EXPECT_EQ(title(), QStringLiteral("跟踪路径到2 hosts."));
    EXPECT_EQ(row(1), QStringLiteral("(1） 跟踪到 127.0.0.1"));
    EXPECT_EQ(row(5), QStringLiteral("(2） 跟踪到 127.0.0.2"));
    EXPECT_TRUE(window->traceRun().resultsAvailable());
}

// The scroll bar moves the twenty rows over the lines of every trace.
TEST_F(TraceWindowTest, ScrollBarWindowsOverTheTraceLines) {
    const QString base =
        TraceFileBase(TraceTempFolder(folder.path() + "/"), QDateTime::currentDateTime());
    ASSERT_TRUE(QDir().mkpath(TraceTempFolder(folder.path() + "/")));
    QFile file(TraceOutputFile(base, 0));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int line = 0; line < 30; ++line)
        file.write(QStringLiteral("line %1\r\n").arg(line).toUtf8());
    file.close();
    Settings s(settingsPath);
    s.setValue(Setting::CmdType, QStringLiteral("跟踪"));
    s.setValue(Setting::TraceFileName, base);
    s.setValue(Setting::IPQty, QStringLiteral("1"));
    ASSERT_TRUE(s.WriteSettings().isEmpty());
    open();
    window->LoadAfterShow();
    EXPECT_EQ(row(0), "line 0");
    QScrollBar* bar = find<QScrollBar>("VScroll1");
    EXPECT_EQ(bar->maximum(), 11);  // 30 lines and the closing row, twenty at a time
    bar->setValue(10);
    EXPECT_EQ(row(0), "line 10");
    EXPECT_EQ(row(19), "line 29");
    bar->setValue(11);
    EXPECT_EQ(row(19), "");
}

// A pick from the host list's drop-down: a group gives its members, a range changes nothing.
TEST_F(TraceWindowTest, HostListDropDownFollowsTheTargetList) {
    writeList({"ALoop,127.0.0.1", "BPair,127.0.0.2,127.0.0.3", "CSpan,127.0.0.1,127.0.0.9"});
    open();
    QComboBox* hosts = box(2);
    ASSERT_EQ(hosts->count(), 2);  // no range
    testing::Pick(hosts, hosts->itemText(1));
    EXPECT_EQ(hosts->currentText(), "127.0.0.2 127.0.0.3");
    testing::Pick(hosts, hosts->itemText(0));
    EXPECT_EQ(hosts->currentText(), "127.0.0.1");
}

// A trace refused for its options starts nothing and leaves the window free.
TEST_F(TraceWindowTest, BadOptionsStartNothing) {
    open();
    box(1)->setEditText("abc");
    traceTyped("127.0.0.1");
    EXPECT_TRUE(processes.starts().empty());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Inalid 最大跃点数。"));
    EXPECT_TRUE(enabled("CommandTracert"));
}

}  // namespace
}  // namespace sondrel
