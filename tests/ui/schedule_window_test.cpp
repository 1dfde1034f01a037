#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "engine/test_parameters.h"
#include "window_driver.h"

namespace sondrel {
namespace {

using testing::FakeProcessScript;

// The scheduled start in the window, on the fake clock (it starts at 2026-05-03 14:22:07).
class ScheduleWindowTest : public testing::WindowTest {
  protected:
    QString title() { return find<QLabel>("LabelTittle_0")->text(); }
    QComboBox* box(const char* name) { return find<QComboBox>(name); }
    void arm() { button("OptionSch_1")->click(); }
    // Opens the editor of a time box and takes the five values.
    void editTime(const char* boxName, const QStringList& fields) {
        box(boxName)->setFocus(Qt::OtherFocusReason);
        const char* names[] = {"ComboSYear", "ComboSMonth", "ComboSDay", "ComboSHour",
                               "ComboSMinute"};
        for (int i = 0; i < 5; ++i)
            find<QComboBox>(names[i])->setEditText(fields[i]);
        button("CommandOK")->click();
    }
};

TEST_F(ScheduleWindowTest, ArmingOffersAStartInAnHourAndAnEndInEight) {
    open();
    arm();
    EXPECT_EQ(box("ComboFrom")->currentText(), "05/03/2026 15:22:00");
    EXPECT_EQ(box("ComboTo")->currentText(), "05/03/2026 22:22:00");
    EXPECT_TRUE(box("ComboTo")->isEnabled());
    EXPECT_EQ(title(), QStringLiteral("侦测测试将会自动运行：05/03/2026 15:22:00  到  05/03/2026 "
                                      "22:22:00"));
    find<QAction>("mnuSelectTracert")->trigger();
    EXPECT_FALSE(box("ComboTo")->isEnabled());
    button("OptionSch_0")->click();
    clock.advance((5 * 3600 + 47 * 60 + 53) * 1000);  // 20:10:00: the end falls on the next day
    arm();
    EXPECT_EQ(box("ComboFrom")->currentText(), "05/03/2026 21:10:00");
    EXPECT_EQ(box("ComboTo")->currentText(), "05/04/2026 04:10:00");
    button("OptionSch_0")->click();
    EXPECT_FALSE(box("ComboFrom")->isEnabled());
    EXPECT_EQ(title(), "");
    clock.advance(3 * 3600 * 1000);
    EXPECT_TRUE(echo.sent.isEmpty());  // "立即" before the start: nothing runs
    EXPECT_TRUE(processes.starts().empty());
}

// The ping test starts in its start minute and stops in the minute after its end.
TEST_F(ScheduleWindowTest, PingTestRunsFromItsStartMinuteToTheMinuteAfterItsEnd) {
    open();
    typeTarget("127.0.0.1");
    window->parameters().setText(ParameterBox::Interval, QStringLiteral("10000 毫秒"));
    arm();
    editTime("ComboFrom", {"2026", "5", "3", "14", "30"});
    editTime("ComboTo", {"2026", "5", "3", "14", "32"});
    EXPECT_EQ(title(), QStringLiteral("侦测测试将会自动运行：05/03/2026 14:30:00  到  05/03/2026 "
                                      "14:32:00"));
    clock.advance((7 * 60 + 50) * 1000);  // 14:29:57
    EXPECT_TRUE(echo.sent.isEmpty());
    clock.advance(5000);  // the check just after 14:30:00, then the first round
    EXPECT_FALSE(echo.sent.isEmpty());
    EXPECT_TRUE(button("OptionSch_0")->isChecked());
    clock.advance(2 * 60 * 1000);  // 14:32:01: the end minute itself still probes
    EXPECT_TRUE(window->runState().activityBusy());
    clock.advance(70 * 1000);
    EXPECT_FALSE(window->runState().activityBusy());
    const auto sent = echo.sent.size();
    clock.advance(3600 * 1000);
    EXPECT_EQ(echo.sent.size(), sent);  // one-shot: nothing more
}

TEST_F(ScheduleWindowTest, ImpossibleDateIsRefusedAndTheBoxKeepsItsTime) {
    open();
    arm();
    editTime("ComboFrom", {"2026", "4", "31", "9", "0"});
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(prompts.shown[0].text.endsWith("   "));
    EXPECT_EQ(box("ComboFrom")->currentText(), "05/03/2026 15:22:00");
    EXPECT_FALSE(find("FrameTime")->isVisible());
}

// With the trace offered, a start in the past traces at the next check.
TEST_F(ScheduleWindowTest, TraceStartsAtTheNextCheckWhenItsStartHasPassed) {
    open();
    typeTarget("127.0.0.1");
    find<QAction>("mnuSelectTracert")->trigger();
    arm();
    editTime("ComboFrom", {"2026", "5", "3", "9", "0"});
    EXPECT_EQ(title(), QStringLiteral("跟踪路径将自动运行：05/03/2026 09:00:00"));
    processes.addScript(FakeProcessScript().exitAt(500, 0));
    clock.advance(3000);
    ASSERT_EQ(processes.starts().size(), 1u);
    EXPECT_EQ(processes.starts()[0].arguments.last(), "127.0.0.1");
}

}  // namespace
}  // namespace sondrel
