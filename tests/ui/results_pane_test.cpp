#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include "engine/ping_test.h"
#include "engine/test_parameters.h"
#include "engine/ui/results_pane.h"
#include "support/engine_rig.h"
#include "support/fake_clock.h"
#include "support/fake_echo.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

using testing::FakeClock;
using testing::FakeEcho;
using testing::FakeResolver;
using testing::RecordingPrompts;

class ResultsPaneTest : public ::testing::Test, protected testing::EngineRig {
  protected:
    QString text(const QString& name) const {
        const auto* label = pane.findChild<QLabel*>(name);
        return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
    }
    QLabel* label(const QString& name) const { return pane.findChild<QLabel*>(name); }
    QScrollBar* bar() const { return pane.findChild<QScrollBar*>(QStringLiteral("VScroll1")); }
    // Number labels of the twenty rows, "" for an empty row.
    QStringList numbers() const {
        QStringList out;
        for (int i = 0; i < 20; ++i)
            out << text(QStringLiteral("sTYPE_%1").arg(i));
        return out;
    }

    void start(const QString& target, const QString& times, const QString& repeat = "1") {
        params.setText(ParameterBox::Interval, QStringLiteral("10"));
        params.setText(ParameterBox::Times, times);
        params.setText(ParameterBox::RepIP, repeat);
        request = TargetRequest{};
        request.manualSingle = target;
        ASSERT_EQ(test.CommandStart_Click(request), StartResult::Starting);
    }
    // A finished run of `probes` probes to one target.
    void run(int probes) {
        const int repeat = probes >= 1000 ? 100 : 1;
        start(QStringLiteral("127.0.0.1"), QString::number(probes / repeat),
              QString::number(repeat));
        clock.runUntilIdle();
        ASSERT_FALSE(state.activityBusy());
        ASSERT_EQ(test.records().index(), probes);
    }
    void advanceUntilSent(int probes) {
        while (echo.sent.size() < probes)
            clock.advance(1);
        clock.advance(echo.defaultRtt + 1);
    }
    // A drag of the thumb to `position`, let go there.
    void drag(int position) {
        bar()->setSliderDown(true);
        bar()->setSliderPosition(position);
        bar()->setSliderDown(false);
    }
    // Row n as the window should show record `index`.
    void expectRecordInRow(int n, qint32 index) {
        const ReplyLine line = ReplyLineFromRecord(test.records().at(index));
        EXPECT_EQ(text(QStringLiteral("sTYPE_%1").arg(n)), QString::number(index + 1) + ".");
        EXPECT_EQ(text(QStringLiteral("sIP_%1").arg(n)), line.prefix);
        EXPECT_EQ(text(QStringLiteral("sIP2_%1").arg(n)), line.detail);
    }

    ResultsPane pane{test, state};
};

TEST_F(ResultsPaneTest, HoldsTheNamedControlsAtTheirPlaceAndSize) {
    EXPECT_EQ(pane.objectName(), "Picture2");
    EXPECT_EQ(pane.size(), QSize(781, 369));  // 11,720 x 5,535 twips
    for (const char* name : {"sTYPE", "sIP", "sIP2", "sIP3", "sIP4"})
        for (int i = 0; i < 20; ++i)
            EXPECT_NE(label(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i)), nullptr)
                << name << i;
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(label(QStringLiteral("LabelTittle_%1").arg(i)), nullptr);
    const QStringList headings = {"发送",     "收到",     "丢失",     "丢失率", "",      "最小时间",
                                  "最大时间", "平均时间", "平均 TTL", "",       "报告："};
    for (int i = 0; i < headings.size(); ++i)
        EXPECT_EQ(text(QStringLiteral("sIP3_%1").arg(i)), headings[i]);
    ASSERT_NE(bar(), nullptr);
    EXPECT_EQ(bar()->singleStep(), 1);
    EXPECT_EQ(bar()->pageStep(), 20);
    EXPECT_EQ(text("PingReport"), "打开");
    EXPECT_FALSE(label("PingReport")->isVisibleTo(&pane));
    // The grey of the load sequence until the first test.
    EXPECT_EQ(label("sIP_3")->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
}

TEST_F(ResultsPaneTest, RowsShowTheirLongestTextsUnclipped) {
    const QFontMetrics metrics = label("sIP_0")->fontMetrics();
    EXPECT_LE(metrics.height(), label("sIP_0")->height());
    struct Case {
        const char* name;
        QString text;
    } cases[] = {
        {"sTYPE_0", "100000."},
        {"sIP_0", "12/31 23:59:59   回覆 255.255.255.254"},
        {"sIP2_0", "bytes=32000  时间=99999ms  TTL=255  ok"},
        {"sIP2_0", "bytes=32000  inet_addr： IP 格式不正确"},
        {"sIP3_8", "平均 TTL"},
        {"sIP4_3", "100.00 %"},
        {"sIP4_5", "999999 ms"},
        {"LabelTittle_0", "侦测测试32000 字节数据:            10000  IP "},
    };
    for (const Case& c : cases) {
        QLabel* row = label(c.name);
        EXPECT_LE(row->fontMetrics().horizontalAdvance(c.text), row->width()) << c.name;
    }
}

TEST_F(ResultsPaneTest, TwentyOneProbesFillAPageAndTheTwentyFirstStartsTheNext) {
    echo.defaultRtt = 3;
    start(QStringLiteral("127.0.0.1"), QStringLiteral("Continually"));
    advanceUntilSent(20);
    EXPECT_EQ(label("sIP_5")->palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_EQ(text("LabelTittle_0"), "侦测测试32 字节数据:            1  IP ");
    EXPECT_EQ(text("LabelTittle_1"), "否.");
    EXPECT_EQ(text("sTYPE_0"), "1.");
    EXPECT_EQ(text("sTYPE_19"), "20.");
    EXPECT_EQ(text("sIP_19"), "05/03 14:22:07   回覆 127.0.0.1");
    EXPECT_EQ(text("sIP2_19"), "bytes=32  时间=3ms  TTL=64  ok");

    advanceUntilSent(21);
    QStringList expected(20);
    expected[0] = "21.";
    EXPECT_EQ(numbers(), expected);
    EXPECT_TRUE(text("sIP_0").endsWith("   回覆 127.0.0.1"));
    EXPECT_EQ(text("sIP_1"), "");
    EXPECT_EQ(text("sIP2_1"), "");
    EXPECT_EQ(text("sIP4_0"), "21");
    EXPECT_EQ(text("sIP4_1"), "21");
    EXPECT_EQ(text("sIP4_2"), "0");
    EXPECT_EQ(text("sIP4_3"), "0.00 %");
    EXPECT_EQ(text("sIP4_5"), "3 ms");
    EXPECT_EQ(text("sIP4_6"), "3 ms");
    EXPECT_EQ(text("sIP4_7"), "3 ms");
    EXPECT_EQ(text("sIP4_8"), "64");

    test.CommandStop_Click();
    clock.runUntilIdle();
    EXPECT_TRUE(label("PingReport")->isVisibleTo(&pane));
}

TEST_F(ResultsPaneTest, LostProbesShowTheirStatusAndTheLossRate) {
    echo.setReply("127.0.0.9", EchoStatus::TimedOut);
    start(QStringLiteral("127.0.0.9"), QStringLiteral("1"));
    clock.runUntilIdle();
    EXPECT_EQ(text("sIP2_0"), "bytes=32  请求超时。");
    EXPECT_EQ(text("sIP4_1"), "0");
    EXPECT_EQ(text("sIP4_2"), "1");
    EXPECT_EQ(text("sIP4_3"), "100.00 %");
    EXPECT_EQ(text("sIP4_5"), "0 ms");
    EXPECT_EQ(text("sIP4_8"), "0");
}

TEST_F(ResultsPaneTest, StartResetsTheRowsAndPlacesTheDetailColumnByAddressLength) {
    run(25);
    label("sIP_4")->setGeometry(0, 0, 10, 10);  // as a trace would lay the rows out
    start(QStringLiteral("127.100.100.100"), QStringLiteral("1"));  // 15 characters
    EXPECT_EQ(label("sIP2_7")->x(), 321);                           // 4,815 twips
    EXPECT_EQ(label("sIP_4")->geometry(), QRect(53, 84, 267, 16));  // left 800, 4,000 wide
    EXPECT_EQ(label("LabelTittle_0")->x(), 53);
    EXPECT_EQ(text("sIP4_0"), "");
    clock.runUntilIdle();
    EXPECT_EQ(numbers().first(), "1.");
    start(QStringLiteral("127.0.0.1"), QStringLiteral("1"));
    EXPECT_EQ(label("sIP2_7")->x(), 314);  // 4,715 twips
}

TEST_F(ResultsPaneTest, FifteenRecordsLeaveNothingToScroll) {
    run(15);
    EXPECT_EQ(bar()->maximum(), 0);
    const QStringList before = numbers();
    bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar()->value(), 0);
    EXPECT_EQ(numbers(), before);
    EXPECT_EQ(numbers()[14], "15.");
}

TEST_F(ResultsPaneTest, HundredRecordsWindowRecordByRecordAndPageByPage) {
    run(100);
    EXPECT_EQ(bar()->maximum(), 80);
    EXPECT_EQ(bar()->value(), 80);
    bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    for (int n = 0; n < 20; ++n)
        expectRecordInRow(n, n);
    bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar()->value(), 20);
    EXPECT_EQ(numbers().first(), "21.");
    EXPECT_EQ(numbers().last(), "40.");
    expectRecordInRow(19, 39);
    bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(numbers().first(), "20.");
    drag(80);
    EXPECT_EQ(numbers().last(), "100.");
}

TEST_F(ResultsPaneTest, TenThousandRecordsOnAScaledBar) {
    run(10000);
    EXPECT_EQ(bar()->maximum(), 200);
    EXPECT_EQ(bar()->value(), 200);
    drag(100);
    EXPECT_EQ(numbers().first(), "4991.");  // records 4,990 to 5,009
    expectRecordInRow(19, 5009);
    bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(numbers().first(), "4992.");
    bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(numbers().first(), "5012.");
    drag(0);
    EXPECT_EQ(numbers().first(), "1.");
    drag(200);
    EXPECT_EQ(numbers().last(), "10000.");
    drag(100);
    EXPECT_EQ(numbers().first(), "4991.");
    // A thumb let go where it was pressed is no drag: a key move to the top then moves by the
    // bar's difference (100 records) instead of jumping to the first record.
    bar()->setSliderDown(true);
    bar()->setSliderDown(false);
    bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(numbers().first(), "4891.");
}

TEST_F(ResultsPaneTest, DuringATestTheBarLeavesTheRowsAsTheProbesWroteThem) {
    start(QStringLiteral("127.0.0.1"), QStringLiteral("Continually"));
    advanceUntilSent(45);
    const QStringList before = numbers();
    EXPECT_EQ(before[4], "45.");
    bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(numbers(), before);
    advanceUntilSent(46);
    EXPECT_EQ(numbers()[5], "46.");
    EXPECT_EQ(bar()->value(), bar()->maximum());  // the bar follows the newest record
}

TEST_F(ResultsPaneTest, ReloadedRunIsWindowedLikeAFinishedOne) {
    run(60);
    PingTest reloaded{{echo, resolver, clock, prompts}, state, params, folder.path() + "/"};
    ResultsPane other{reloaded, state};
    reloaded.ReloadPreviousPing();
    auto* otherBar = other.findChild<QScrollBar*>("VScroll1");
    EXPECT_EQ(otherBar->maximum(), 40);
    EXPECT_EQ(otherBar->value(), 0);
    EXPECT_EQ(other.findChild<QLabel*>("sTYPE_0")->text(), "1.");
    EXPECT_EQ(other.findChild<QLabel*>("LabelTittle_0")->text(), "上一个侦测测试结果");
    EXPECT_EQ(other.findChild<QLabel*>("sIP4_0")->text(), "60");
    otherBar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(other.findChild<QLabel*>("sTYPE_19")->text(), "60.");
}

// Clicks close the window's floating panels, each place its own set.
TEST_F(ResultsPaneTest, ClicksDismissPopupsAndTheReportLinkReacts) {
    QList<int> dismissed;
    int focusRests = 0;
    int reports = 0;
    QObject::connect(&pane, &ResultsPane::popupsDismissed, [&](int p) { dismissed << p; });
    QObject::connect(&pane, &ResultsPane::focusRestRequested, [&] { ++focusRests; });
    QObject::connect(&pane, &ResultsPane::reportRequested, [&] { ++reports; });
    const auto click = [](QWidget* target) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    };
    click(&pane);
    click(label("sIP_3"));
    click(label("sIP2_3"));
    click(label("sIP4_2"));
    click(label("LabelTittle_0"));
    using P = ResultsPane;
    EXPECT_EQ(dismissed, QList<int>({P::PopupFrameTime | P::PopupShowIP | P::PopupTraceIP,
                                     P::PopupTraceIP | P::PopupShowIP, P::PopupShowIP,
                                     P::PopupTraceIP | P::PopupShowIP}));
    EXPECT_EQ(focusRests, 3);  // the pane, sIP2 and sIP4

    QLabel* report = label("PingReport");
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(report, &enter);
    EXPECT_EQ(report->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0));
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&pane, &move);
    EXPECT_EQ(report->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    click(report);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(dismissed.size(), 4);  // the link is no click on the pane
}

}  // namespace
}  // namespace sondrel
