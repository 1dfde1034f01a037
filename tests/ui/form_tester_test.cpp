#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>
#include <vector>

#include "app/ui/window_placement.h"
#include "common/clock.h"
#include "common/run_state.h"
#include "common/ui/twips.h"
#include "engine/icmp_echo.h"
#include "engine/ping_test.h"
#include "window_driver.h"

namespace sondrel {
namespace {

using testing::ClickOn;
using testing::PressKey;
using testing::WindowTest;

const QString BusyText = QStringLiteral("首先请单击停止按钮停止测试。");

class FormTesterTest : public WindowTest {
  protected:
    void SetUp() override { open(); }
    // Place of a control in the client area, twips converted as the window lays them out.
    QRect placeOf(const QString& name) const {
        QWidget* w = find(name);
        return QRect(w->mapTo(window->centralWidget(), QPoint(0, 0)), w->size());
    }
    bool closeAccepted() {
        QCloseEvent event;
        QApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    }
    void startOn(const QString& target) {
        typeTarget(target);
        testing::PressReturn(find(QStringLiteral("TextPing")));
    }
};

TEST_F(FormTesterTest, FixedWindowWithEveryRegionAtItsPlace) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" Sondrel-专业版数据库版9.23"));
    EXPECT_EQ(window->centralWidget()->size(), QSize(796, 561));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const struct {
        const char* name;
        QRect twips;
    } places[] = {
        {"Picture1_0", TwipsRect(240, 485, 4095, 1695)},
        {"Frame1_1", TwipsRect(4455, 0, 4050, 2295)},
        {"Frame1_2", TwipsRect(4455, 0, 4050, 2295)},
        {"Picture2", TwipsRect(120, 2760, 11720, 5535)},
        {"Picture3", TwipsRect(120, 2760, 11720, 5535)},
        {"PictureDOS", TwipsRect(5450, 2800, 6015, 5405)},
        {"PictureShowIP", TwipsRect(180, 2820, 3315, 5405)},
        {"Label1_18", TwipsRect(4200, 120, 375, 2055)},
        {"Label1_19", TwipsRect(3360, 2160, 8415, 135)},
        {"CommandStart", TwipsRect(3525, 2340, 1150, 375)},
        {"CommandTracert", TwipsRect(3525, 2340, 1150, 375)},
        {"CommandSelectFun_0", TwipsRect(4660, 2340, 375, 375)},
        {"Command8", TwipsRect(5100, 2340, 1000, 375)},
        {"CommandStop", TwipsRect(6165, 2340, 900, 375)},
        {"CommandExport", TwipsRect(7245, 2340, 1050, 375)},
        {"Command1", TwipsRect(8340, 2340, 950, 375)},
        {"Command2", TwipsRect(9460, 2340, 375, 375)},
        {"Command12", TwipsRect(9880, 2340, 375, 375)},
        {"CommandCheckNew", TwipsRect(10300, 2340, 375, 375)},
        {"Command11", TwipsRect(10860, 2340, 960, 375)},
    };
    for (const auto& p : places)
        EXPECT_EQ(placeOf(p.name), p.twips) << p.name;
    EXPECT_EQ(placeOf("TextPing").topLeft(), TwipsRect(550, 2420, 0, 0).topLeft());
    EXPECT_EQ(placeOf("CheckReset").topLeft(), TwipsRect(190, 170, 0, 0).topLeft());
    EXPECT_EQ(placeOf("CheckDB").topLeft(), TwipsRect(11235, 1905, 0, 0).topLeft());
    EXPECT_EQ(placeOf("ComboFrom").topLeft(), TwipsRect(9300, 900, 0, 0).topLeft());
    EXPECT_EQ(placeOf("ComboTo").topLeft(), TwipsRect(9300, 1335, 0, 0).topLeft());
    EXPECT_GE(placeOf("Text402").top(), window->centralWidget()->height());  // out of sight
    EXPECT_EQ(find<QListWidget>("ListIP")->count(), 0);
    for (const char* hidden : {"Picture3", "PictureDOS", "PictureShowIP", "Frame1_2"})
        EXPECT_FALSE(find(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(find("Picture2")->isVisible());
    EXPECT_TRUE(find<QRadioButton>("OptionSch_0")->isChecked());
}

// The menus as the window's table lays them out: every item with its caption and key, in
// order, "-" for a separator. Every command is wired; only mnuCloseAllDOS never is.
TEST_F(FormTesterTest, EveryMenuItemHasItsCaptionKeyAndPlaceAndWorks) {
    struct Item {
        const char* name;
        const char* caption;
        const char* key;
    };
    const std::pair<const char*, std::vector<Item>> menus[] = {
        {"mnuFile",
         {{"mnuExpImp_1", "导出 IP 列表", ""},
          {"mnuExpImp_2", "导入 IP 列表", ""},
          {"-", "", ""},
          {"mnuExpImp_4", "导出 DOS 命令历史记录", ""},
          {"mnuExpImp_5", "导入 DOS 命令历史记录", ""},
          {"-", "", ""},
          {"mnuSetupDB", "设置数据库连接(&S)", ""},
          {"-", "", ""},
          {"mnuBuildCmdLine", "生成命令行(&G)", ""},
          {"-", "", ""},
          {"mnuWebsite", "转到我们的网站", "Ctrl+W"},
          {"-", "", ""},
          {"mnuExit", "退出", "Ctrl+Q"}}},
        {"mnuOperate",
         {{"mnuStart", "侦测", "F5"},
          {"mnuTracert", "跟踪", "F11"},
          {"mnuIpscanner", "扫描 IP", "F12"},
          {"mnuStop", "停止", "F4"},
          {"-", "", ""},
          {"mnuExport", "导出", "F6"},
          {"mnuOpen", "打开", "F7"},
          {"-", "", ""},
          {"mnuCopy", "复制屏幕", "F9"},
          {"-", "", ""},
          {"mnuReport", "打开摘要报告", "Ctrl+R"}}},
        {"mnuFunction",
         {{"mnuSelectPing", "侦测功能", ""},
          {"-", "", ""},
          {"mnuSelectTracert", "路由追踪功能", ""}}},
        {"mnuIPList",
         {{"mnuAddS", "添加单个 IP 或 URL", ""},
          {"mnuAddG", "添加一组 IP 地址", ""},
          {"munAddR", "添加一个范围内的 IP 地址", ""},
          {"mnuEdit", "编辑选择项目", ""},
          {"mnuDelete", "删除入围项目", ""},
          {"-", "", ""},
          {"mnuScanLocalIP", "扫描本地子网，并保存 ip 地址", ""},
          {"-", "", ""},
          {"mnuAddG2", "添加新 IP 组並扫描 IP", ""},
          {"-", "", ""},
          {"mnuReset", "重置所有选中的复选框", ""}}},
        {"mnuAddG2",
         {{"mnuAddG2Active", "将活动 IP 添加到新 IP 组", ""},
          {"mnuAddG2Inactive", "将非活动 IP 添加到新 IP 组", ""},
          {"mnuAddG2All", "添加新 IP 组的所有 IP", ""}}},
        {"mnuUtility",
         {{"mnuDos", "DOS 命令", "F8"},
          {"-", "", ""},
          {"mnuCloseAllDOS", "关闭所有打开 DOS 表单", ""},
          {"mnuDeleteDos", "删除 DOS 运行历史记录", ""}}},
        {"mnuDeleteDos",
         {{"-", "", ""},
          {"mnuDel_1", "DOS 命令列表中使用记事本编辑", ""},
          {"mnuDel_2", "刷新 DOS 命令列表", ""},
          {"-", "", ""},
          {"mnuDel_4", "删除所选历史记录", ""},
          {"-", "", ""},
          {"mnuDel_6", "删除所有除最后 10 条记录", ""},
          {"mnuDel_7", "删除所有除最后 20 条记录", ""},
          {"mnuDel_8", "删除所有除最后 30 条记录", ""},
          {"mnuDel_9", "删除所有除最后 50 条记录", ""},
          {"mnuDel_10", "删除所有除最后 100 条记录", ""},
          {"-", "", ""},
          {"mnuDel_12", "删除所有的历史记录", ""}}},
        {"mnuHelp", {{"mnuHowto", "如何使用？", "F1"}}}};
    for (const auto& [menuName, items] : menus) {
        const QList<QAction*> actions = find<QMenu>(menuName)->actions();
        ASSERT_EQ(actions.size(), qsizetype(items.size())) << menuName;
        for (size_t i = 0; i < items.size(); ++i) {
            const Item& want = items[i];
            QAction* have = actions[qsizetype(i)];
            if (QString::fromLatin1(want.name) == "-") {
                EXPECT_TRUE(have->isSeparator()) << menuName << " " << i;
                continue;
            }
            EXPECT_EQ(have->objectName(), want.name);
            EXPECT_EQ(have->text(), QString::fromUtf8(want.caption)) << want.name;
            EXPECT_EQ(have->shortcut(), QKeySequence(QString::fromLatin1(want.key))) << want.name;
            EXPECT_EQ(have->isEnabled(), QString::fromLatin1(want.name) != "mnuCloseAllDOS")
                << want.name;
        }
    }
}

TEST_F(FormTesterTest, EnterInTheManualBoxStartsAndTheBusyStateBlocksTheStartButtons) {
    typeTarget("127.0.0.1");
    EXPECT_EQ(button("CommandStart")->toolTip(), QStringLiteral("运行侦测测试'127.0.0.1'."));
    EXPECT_EQ(button("Command8")->toolTip(), QStringLiteral("快速扫描 ip 地址 '127.0.0.1'. "));
    testing::PressReturn(find("TextPing"));
    EXPECT_TRUE(window->runState().activityBusy());
    for (const char* blocked : {"CommandStart", "CommandTracert", "CommandSelectFun_0", "Command8"})
        EXPECT_FALSE(enabled(blocked)) << blocked;
    EXPECT_TRUE(enabled("CommandStop"));
    EXPECT_TRUE(find("Text402")->hasFocus());
    clock.advance(2000);
    EXPECT_EQ(echo.sentAddresses(),
              QStringList({"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.1"}));

    ClickOn(button("CommandStop"));
    EXPECT_FALSE(enabled("CommandStop"));  // until the stop has completed
    EXPECT_FALSE(enabled("CommandStart"));
    clock.advance(500);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_TRUE(enabled("CommandStart"));
    EXPECT_TRUE(enabled("CommandSelectFun_0"));
    EXPECT_TRUE(enabled("CommandStop"));
    EXPECT_TRUE(enabled("Command8"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

TEST_F(FormTesterTest, F5StartsF4StopsAndAStartWhileBusyChangesNothing) {
    typeTarget("10.0.0.7");
    PressKey(Qt::Key_F5);
    ASSERT_TRUE(window->runState().activityBusy());
    clock.advance(100);
    ASSERT_EQ(echo.sent.size(), 1);
    // A second start by key, click or Enter while the first runs sends nothing more.
    PressKey(Qt::Key_F5);
    ClickOn(button("CommandStart"));
    testing::PressReturn(find("TextPing"));
    EXPECT_EQ(echo.sent.size(), 1);
    PressKey(Qt::Key_F4);
    clock.advance(500);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_EQ(echo.sentAddresses(), QStringList({"10.0.0.7"}));
    // The button itself starts the next test.
    ClickOn(button("CommandStart"));
    EXPECT_TRUE(window->runState().activityBusy());
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

// The stop goes to the page of what runs, whichever function is selected meanwhile.
TEST_F(FormTesterTest, StopReachesTheRunningPingTestFromAnotherPage) {
    typeTarget("10.0.0.7");
    PressKey(Qt::Key_F5);
    clock.advance(100);
    ASSERT_EQ(window->runState().runningActivity, Activity::Ping);
    window->runState().selectedFunction = Activity::Trace;
    PressKey(Qt::Key_F4);
    clock.advance(500);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_FALSE(window->pingTest().running());
    EXPECT_EQ(echo.sent.size(), 1);
}

TEST_F(FormTesterTest, RefusedStartChecksLeaveTheWindowIdle) {
    typeTarget("10.0.0.7");
    window->parameters().setText(ParameterBox::Times, "0");
    prompts.clear();
    PressKey(Qt::Key_F5);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("Inalid 试验次数。")}));
    EXPECT_TRUE(enabled("CommandStart"));
    clock.advance(1000);
    EXPECT_TRUE(echo.sent.isEmpty());
}

TEST_F(FormTesterTest, UnknownHostIsReportedAndTheStartEnds) {
    startOn("nosuchhost");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("找不到下面 IP 地址1 主机:")));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Information);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_TRUE(enabled("CommandStart"));
}

TEST_F(FormTesterTest, CloseAndExitAreRefusedWhileATestRuns) {
    int ended = 0;
    QObject::connect(window.get(), &FormTester::programEndRequested, [&ended] { ++ended; });
    startOn("127.0.0.1");
    EXPECT_FALSE(closeAccepted());
    PressKey(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(ended, 0);
    ASSERT_EQ(prompts.shown.size(), 2);
    for (const auto& shown : prompts.shown) {
        EXPECT_EQ(shown.text, BusyText);
        EXPECT_EQ(shown.title, QStringLiteral("测试运行。"));
        EXPECT_EQ(shown.icon, MessageIcon::Information);
    }
    EXPECT_TRUE(window->runState().activityBusy());  // the test goes on
    clock.advance(3000);
    EXPECT_GT(echo.sent.size(), 3);

    PressKey(Qt::Key_F4);
    clock.advance(500);
    prompts.clear();
    PressKey(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(closeAccepted());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(FormTesterTest, StopReachedByTheTestItselfRestoresTheButtons) {
    window->parameters().setText(ParameterBox::Times, "2");
    startOn("127.0.0.1");
    clock.runUntilIdle();
    EXPECT_EQ(echo.sent.size(), 2);
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_TRUE(enabled("CommandStart"));
    EXPECT_TRUE(enabled("CommandStop"));
}

TEST_F(FormTesterTest, ManualBoxFocusRulesAndFocusTraps) {
    QLineEdit* box = find<QLineEdit>("TextPing");
    typeTarget(" 10.0. 0.1 ");
    find("Text88_1")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(find("Text402")->hasFocus());
    EXPECT_EQ(box->text(), "10.0.0.1");  // spaces go when the box is left
    find("Text88_0")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(box->hasFocus());
    find("Text88_2")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(find("Text402")->hasFocus());
    // A selection summary is cleared when the operator enters the box.
    box->setText(QStringLiteral("己选定3项目"));
    box->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(box->text(), "");
}

TEST_F(FormTesterTest, ActivationWithinTheProgramPutsTheFocusToRest) {
    EXPECT_TRUE(find("Text402")->hasFocus());  // the first activation
    // After a modal dialog has closed.
    typeTarget("10.0.0.1");
    testing::WhenModal([](QDialog* dialog) { dialog->reject(); });
    find<QAction>("mnuBuildCmdLine")->trigger();
    window->activateWindow();  // as the desktop does when the dialog has gone
    QApplication::processEvents();
    EXPECT_TRUE(find("Text402")->hasFocus());
    // Back from another window of the program.
    find("TextPing")->setFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &other);
    window->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), window.get());
    EXPECT_TRUE(find("Text402")->hasFocus());
}

TEST(WindowPlacement, CentredAcrossWithTheTopAboveTheMiddle) {
    // The top at half the free height less 100 twips, never above the free area.
    EXPECT_EQ(CentredTopLeft(QRect(0, 0, 1280, 800), QSize(800, 600)), QPoint(240, 93));
    EXPECT_EQ(CentredTopLeft(QRect(100, 30, 1024, 738), QSize(1024, 740)), QPoint(100, 30));
}

TEST_F(FormTesterTest, SelectPingOffersThePingStart) {
    find<QAction>("mnuSelectPing")->trigger();
    EXPECT_EQ(window->runState().selectedFunction, Activity::Ping);
    EXPECT_TRUE(find("CommandStart")->isVisible());
    EXPECT_FALSE(find("CommandTracert")->isVisible());
    EXPECT_TRUE(find("Frame1_1")->isVisible());
    EXPECT_EQ(find("ComboTo")->isEnabled(), find("ComboFrom")->isEnabled());
    ClickOn(button("CommandSelectFun_0"));
    QMenu* functions = find<QMenu>("mnuFunction");
    EXPECT_TRUE(functions->isVisible());
    functions->hide();
}

// One real test of 127.0.0.1 through the window: real echo socket, real timers.
TEST(FormTesterLoopback, RealEchoThroughTheWindow) {
    if (const QString refused = IcmpEcho().open(); !refused.isEmpty())
        GTEST_SKIP() << "no ICMP socket can be opened here: " << refused.toStdString();
    QTemporaryDir folder;
    SystemClock clock;
    IcmpEcho echo;
    testing::FakeResolver resolver;
    testing::RecordingPrompts prompts;
    CancellingDialogs dialogs;
    testing::FakeLocalNetwork network;
    ASSERT_TRUE(WriteTextFileAtomically(folder.path() + "/" + TargetListFileName, {" "}, nullptr));
    FormTester window({echo, resolver, clock, prompts, folder.path() + "/", &dialogs, &network, {}},
                      {});
    window.show();
    window.parameters().setText(ParameterBox::Interval, QStringLiteral("100 毫秒"));
    window.parameters().setText(ParameterBox::Times, "3");
    auto* box = window.findChild<QLineEdit*>("TextPing");
    box->setFocus();
    testing::TypeKeys(box, "127.0.0.1");
    QEventLoop loop;
    QObject::connect(&window.pingTest(), &PingTest::stopCompleted, &loop, &QEventLoop::quit);
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    testing::PressReturn(box);
    loop.exec();
    EXPECT_FALSE(window.runState().activityBusy());
    EXPECT_EQ(window.pingTest().statistics().sentCount, 3);
    EXPECT_EQ(window.pingTest().statistics().lostCount, 0);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

}  // namespace
}  // namespace sondrel
