#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include "common/ui/twips.h"
#include "engine/ui/results_pane.h"
#include "support/engine_rig.h"
#include "support/fake_process_runner.h"
#include "support/qt_printers.h"
#include "trace/trace_run.h"
#include "trace/ui/trace_frame.h"
#include "trace/ui/trace_jump_list.h"
#include "ui/ui_test_helpers.h"

namespace sondrel {
namespace {

using testing::FakeProcessRunner;
using testing::FakeProcessScript;

QStringList LabelTexts(const QWidget& parent) {
    QStringList texts;
    for (const QLabel* label : parent.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

TEST(TraceFrameTest, CarriesItsNamedBoxesWithTheirCaptionsAndDefaults) {
    TraceFrame frame;
    EXPECT_EQ(frame.objectName(), "Frame1_2");
    EXPECT_EQ(frame.size(), QSize(Twips(4050), Twips(2295)));
    EXPECT_EQ(frame.title(), "设置跟踪参数：");
    const QStringList captions = LabelTexts(frame);
    for (const char* caption : {"最大跃点数：", "主机列表：", "超时时间"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(caption))) << caption;
    for (int item = 1; item <= 3; ++item) {
        const auto* combo =
            frame.findChild<QComboBox*>(QStringLiteral("ComboTracert_%1").arg(item));
        ASSERT_NE(combo, nullptr) << item;
        EXPECT_EQ(combo, frame.box(item));
        EXPECT_TRUE(combo->isEditable());
    }
    const auto* resolve = frame.findChild<QCheckBox*>("CheckIPtoName");
    ASSERT_NE(resolve, nullptr);
    EXPECT_EQ(resolve->text(), "地址解析为主机名：");

    const TraceOptionTexts texts = frame.optionTexts();
    EXPECT_EQ(texts.maxHops, "30");
    EXPECT_EQ(texts.hostList, "");
    EXPECT_EQ(texts.timeOut, "4000");
    EXPECT_FALSE(texts.resolveNames);

    int selector = 0;
    QObject::connect(&frame, &TraceFrame::functionSelectorClicked, [&selector] { ++selector; });
    auto* button = frame.findChild<QToolButton*>("CommandSelectFun_1");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), "选择命令");
    button->click();
    EXPECT_EQ(selector, 1);
}

// Each box feeds its own option: a mix-up shows in the built command.
TEST(TraceFrameTest, StoredAndTypedTextsMakeTheOptions) {
    TraceFrame frame;
    frame.setOptionTexts({"15", "10.0.0.1 10.0.0.2", "2000", true});
    const TraceOptionTexts stored = frame.optionTexts();
    EXPECT_EQ(stored.maxHops, "15");
    EXPECT_EQ(stored.hostList, "10.0.0.1 10.0.0.2");
    EXPECT_EQ(stored.timeOut, "2000");
    EXPECT_TRUE(stored.resolveNames);

    frame.setResolveNames(false);
    frame.setHostListText("");
    QLineEdit* hops = frame.box(1)->lineEdit();
    hops->selectAll();
    testing::TypeKeys(hops, "12");
    QLineEdit* timeOut = frame.box(3)->lineEdit();
    timeOut->selectAll();
    testing::TypeKeys(timeOut, "900");
    testing::RecordingPrompts prompts;
    const auto options = BuildTraceOptions(frame.optionTexts(), prompts);
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->text, "tracert -d -h 12 -w 900 ");

    testing::Pick(frame.box(1), "64");
    EXPECT_EQ(frame.optionTexts().maxHops, "64");
}

TEST(TraceFrameTest, PickingAHostListItemLeavesTheTextToTheWindow) {
    TraceFrame frame;
    QLineEdit* edit = frame.box(2)->lineEdit();
    testing::TypeKeys(edit, "1.2.3.4");
    const QStringList items = {"Gateways" + QString(60, ' ') + "         0",
                               "Lab range" + QString(60, ' ') + "         1"};
    frame.setHostListItems(items);
    EXPECT_EQ(frame.box(2)->count(), 2);
    EXPECT_EQ(frame.optionTexts().hostList, "1.2.3.4");  // filling the list keeps the text

    QStringList picked;
    QObject::connect(&frame, &TraceFrame::hostListPicked,
                     [&picked](const QString& item) { picked << item; });
    testing::Pick(frame.box(2), items[1]);
    EXPECT_EQ(picked, QStringList({items[1]}));
    EXPECT_EQ(frame.optionTexts().hostList, "1.2.3.4");  // a range changes nothing

    testing::Pick(frame.box(2), items[0]);
    frame.setHostListText("10.0.0.1 10.0.0.2");
    EXPECT_EQ(frame.optionTexts().hostList, "10.0.0.1 10.0.0.2");
    testing::Pick(frame.box(2), items[1]);
    EXPECT_EQ(frame.optionTexts().hostList, "10.0.0.1 10.0.0.2");
}

FakeProcessScript Finished(const QString& target) {
    const QString out = "\r\n通过最多 30 个跃点跟踪到 " + target +
                        " 的路由:\r\n\r\n  1    <1 毫秒 " + target + "  \r\n\r\n跟踪完成。\r\n";
    return FakeProcessScript().write(100, out.toUtf8()).exitAt(500, 0);
}

FakeProcessScript Running() {
    return FakeProcessScript().write(100, "\r\nheader\r\n").exitAt(10'000'000, 0);
}

// A trace over the fakes shown in a real results pane, wired as the window wires it.
class TraceJumpListTest : public ::testing::Test, protected testing::EngineRig {
  protected:
    TraceJumpListTest() {
        QObject::connect(&run, &TraceRun::jumpControlsShown, &jump, &TraceJumpList::setShown);
        QObject::connect(&run, &TraceRun::rowsChanged, &pane,
                         [this](const QStringList& rows, qint64 first, qint64 total) {
                             pane.showTextRows(rows, int(first), int(total));
                         });
        QObject::connect(&pane, &ResultsPane::textRowsScrolled, &run, &TraceRun::showFromRow);
        pane.show();
    }

    void startThree() {
        runner.addScript(Finished("10.0.0.1"));
        runner.addScript(Running());
        runner.addScript(Running());
        request = TargetRequest{};
        request.hasCurrentItem = true;
        request.selectedEntries = {"AOne,10.0.0.1", "ATwo,10.0.0.2", "AThree,10.0.0.3"};
        ASSERT_EQ(run.CommandTracert_Click(request, {}), StartResult::Starting);
        clock.advance(1000);
        ASSERT_TRUE(run.records()[0].done);
        ASSERT_FALSE(run.records()[1].done);
    }
    QStringList listed() const {
        QStringList items;
        for (int i = 0; i < jump.list()->count(); ++i)
            items << jump.list()->item(i)->text();
        return items;
    }
    QPoint itemCentre(int row) const {
        return jump.list()->visualItemRect(jump.list()->item(row)).center();
    }
    void mouse(QEvent::Type type, QPoint at) {
        QWidget* viewport = jump.list()->viewport();
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
        QMouseEvent event(type, at, viewport->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }

    FakeProcessRunner runner{clock};
    TraceRun run{{runner, clock, prompts, resolver},
                 state,
                 folder.path() + "/",
                 QStringLiteral("/opt/sondrel/tracert")};
    ResultsPane pane{test, state};
    TraceJumpList jump{run, &pane};
};

TEST_F(TraceJumpListTest, ButtonsDropTheirListsAtTheirPlaces) {
    EXPECT_FALSE(jump.caption()->isVisible());
    EXPECT_FALSE(jump.button(0)->isVisible());
    startThree();
    // The pane's own jump caption is the one shown.
    EXPECT_EQ(pane.findChildren<QLabel*>("LabelTittle_3").size(), 1);
    EXPECT_EQ(jump.caption(), pane.title(3));
    EXPECT_EQ(jump.caption()->text(), "跳转到主机：");
    EXPECT_TRUE(jump.caption()->isVisible());
    EXPECT_EQ(jump.button(0)->objectName(), "CmdJumpTo_0");
    EXPECT_EQ(jump.button(1)->objectName(), "CmdJumpTo_1");
    EXPECT_TRUE(jump.button(1)->isVisible());
    EXPECT_FALSE(jump.list()->isVisible());

    jump.button(0)->click();
    EXPECT_EQ(jump.list()->objectName(), "TraceIP");
    EXPECT_TRUE(jump.list()->isVisible());
    EXPECT_EQ(listed(), QStringList({TraceJumpText("Two", 1), TraceJumpText("Three", 2)}));
    EXPECT_EQ(jump.list()->pos(), QPoint(Twips(7005), Twips(360)));

    jump.button(1)->click();
    EXPECT_EQ(listed(), QStringList({TraceJumpText("One", 0)}));
    EXPECT_EQ(jump.list()->pos(), QPoint(Twips(8150), Twips(360)));

    jump.hidePopup();
    EXPECT_FALSE(jump.list()->isVisible());
    jump.button(1)->click();
    jump.setShown(false);  // a new start hides the controls and the list with them
    EXPECT_FALSE(jump.list()->isVisible());
    EXPECT_FALSE(jump.button(0)->isVisible());
    EXPECT_FALSE(jump.caption()->isVisible());
}

TEST_F(TraceJumpListTest, PointerSelectsAndTellsTheTitleAndAClickShowsTheTarget) {
    startThree();
    jump.button(0)->click();
    mouse(QEvent::MouseMove, itemCentre(1));
    EXPECT_EQ(jump.list()->currentRow(), 1);
    EXPECT_EQ(jump.list()->toolTip(), "Three");
    mouse(QEvent::MouseMove, itemCentre(0));
    EXPECT_EQ(jump.list()->currentRow(), 0);
    EXPECT_EQ(jump.list()->toolTip(), "Two");
    const QRect last = jump.list()->visualItemRect(jump.list()->item(1));
    mouse(QEvent::MouseMove, QPoint(5, last.bottom() + 10));
    EXPECT_EQ(jump.list()->currentRow(), 1);  // below the items: the last one

    mouse(QEvent::MouseButtonPress, itemCentre(1));
    mouse(QEvent::MouseButtonRelease, itemCentre(1));
    EXPECT_FALSE(jump.list()->isVisible());
    EXPECT_EQ(run.firstShownRow(), run.records()[0].lineCount + 1 + run.records()[1].lineCount + 1);
    EXPECT_EQ(pane.row(ResultsPane::AddressColumn, 0)->text(), run.records()[2].line(0));
}

QStringList Lines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("  %1    <1 ms  10.0.0.%1").arg(i);
    return lines;
}

class TextRowsTest : public ::testing::Test, protected testing::EngineRig {
  protected:
    QLabel* cell(ResultsPane::Column column, int item) const { return pane.row(column, item); }
    QScrollBar* bar() const { return pane.scrollBar(); }
    ResultsPane pane{test, state};
};

TEST_F(TextRowsTest, RowsFillTheWideColumnAndTheBarAsksForOtherRows) {
    pane.show();
    pane.ResetForTest();
    pane.showTextRows(Lines(20), 0, 45);
    EXPECT_TRUE(pane.textRowsShown());
    for (int item = 0; item < 20; ++item) {
        EXPECT_EQ(cell(ResultsPane::AddressColumn, item)->text(), Lines(20)[item]);
        for (auto hidden : {ResultsPane::TypeColumn, ResultsPane::DetailColumn,
                            ResultsPane::HeadingColumn, ResultsPane::ValueColumn})
            EXPECT_FALSE(cell(hidden, item)->isVisible()) << hidden << " " << item;
    }
    const QRect wide = cell(ResultsPane::AddressColumn, 3)->geometry();
    EXPECT_GE(wide.width(), Twips(8000));
    EXPECT_LE(wide.right(), bar()->x());
    EXPECT_EQ(bar()->maximum(), 25);
    EXPECT_EQ(bar()->value(), 0);

    QList<int> scrolled;
    QObject::connect(&pane, &ResultsPane::textRowsScrolled,
                     [&scrolled](int first) { scrolled << first; });
    bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(scrolled, QList<int>({1, 21, 25}));

    // The last rows of a trace: fewer lines than rows, the bar at their place.
    pane.showTextRows(Lines(5), 40, 45);
    EXPECT_EQ(cell(ResultsPane::AddressColumn, 4)->text(), Lines(5)[4]);
    EXPECT_EQ(cell(ResultsPane::AddressColumn, 5)->text(), "");
    EXPECT_EQ(bar()->value(), 25);
    EXPECT_EQ(cell(ResultsPane::AddressColumn, 19)->text(), "");

    // A short trace leaves the bar at rest.
    pane.showTextRows(Lines(12), 0, 12);
    EXPECT_EQ(bar()->maximum(), 0);
}

TEST_F(TextRowsTest, APingTestAfterTextRowsGetsItsLayoutAndScrollingBack) {
    pane.show();
    const QRect pingPlace = cell(ResultsPane::AddressColumn, 0)->geometry();
    const QFont pingFace = cell(ResultsPane::AddressColumn, 0)->font();
    pane.showTextRows(Lines(20), 0, 60);

    int scrolled = 0;
    QObject::connect(&pane, &ResultsPane::textRowsScrolled, [&scrolled] { ++scrolled; });
    params.setText(ParameterBox::Interval, QStringLiteral("10"));
    params.setText(ParameterBox::Times, QStringLiteral("100"));
    params.setText(ParameterBox::RepIP, QStringLiteral("1"));
    request = TargetRequest{};
    request.manualSingle = QStringLiteral("127.0.0.1");
    ASSERT_EQ(test.CommandStart_Click(request), StartResult::Starting);
    clock.runUntilIdle();
    ASSERT_EQ(test.records().index(), 100);

    EXPECT_FALSE(pane.textRowsShown());
    EXPECT_EQ(cell(ResultsPane::AddressColumn, 0)->geometry(), pingPlace);
    EXPECT_EQ(cell(ResultsPane::AddressColumn, 0)->font().family(), pingFace.family());
    EXPECT_TRUE(cell(ResultsPane::TypeColumn, 0)->isVisible());
    EXPECT_TRUE(cell(ResultsPane::DetailColumn, 0)->isVisible());
    EXPECT_TRUE(cell(ResultsPane::HeadingColumn, 0)->isVisible());

    bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(scrolled, 0);
    EXPECT_EQ(cell(ResultsPane::TypeColumn, 0)->text(), "1.");
}

}  // namespace
}  // namespace sondrel
