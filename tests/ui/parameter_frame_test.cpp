#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "engine/test_parameters.h"
#include "engine/ui/parameter_frame.h"
#include "engine/ui/widget_parameter_dialogs.h"
#include "support/recording_prompts.h"
#include "ui/ui_test_helpers.h"

namespace sondrel {
namespace {

using testing::Backspace;
using testing::Pick;
using testing::PressReturn;
using testing::RecordingPrompts;
using testing::TypeKeys;
using testing::WhenModal;

class ParameterFrameTest : public ::testing::Test {
  protected:
    // The window builds the frame first and fills the lists afterwards.
    ParameterFrameTest() { params.FillParameterLists(); }

    QComboBox* combo(const char* name) const { return frame.findChild<QComboBox*>(name); }
    QLineEdit* edit(const char* name) const { return combo(name)->lineEdit(); }
    QString total() const { return frame.findChild<QLabel*>("Label1_28")->text(); }
    void clear(const char* name) {
        edit(name)->selectAll();
        Backspace(edit(name));
    }
    template <typename T>
    static void click(QDialog* dialog, const char* name) {
        auto* control = dialog->findChild<T*>(name);
        ASSERT_NE(control, nullptr) << name;
        control->click();
    }

    RecordingPrompts prompts;
    WidgetParameterDialogs dialogs{nullptr};
    TestParameters params{prompts, dialogs};
    ParameterFrame frame{params};
};

TEST_F(ParameterFrameTest, HoldsTheBoxesButtonsAndCaptionsInsideTheFrame) {
    EXPECT_EQ(frame.objectName(), "Frame1_1");
    EXPECT_EQ(frame.size(), QSize(270, 153));  // 4,050 x 2,295 twips
    EXPECT_EQ(frame.title(), "设置侦测参数：");
    const struct {
        const char* name;
        int items;
        QString shown;
    } boxes[] = {{"ComboInv", 79, "600 毫秒"},
                 {"ComboSize", 16, "32  字节"},
                 {"ComboTimeOut", 27, "600 毫秒"},
                 {"ComboTimes", 19, "Continually"},
                 {"ComboRepIP", 100, "1"}};
    for (const auto& b : boxes) {
        ASSERT_NE(combo(b.name), nullptr) << b.name;
        EXPECT_TRUE(combo(b.name)->isEditable());
        EXPECT_EQ(combo(b.name)->count(), b.items) << b.name;
        EXPECT_EQ(combo(b.name)->currentText(), b.shown) << b.name;
    }
    EXPECT_EQ(combo("ComboInv")->currentIndex(), 14);
    QStringList captions;
    for (const QLabel* label : frame.findChildren<QLabel*>()) {
        captions << label->text();
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
        EXPECT_LE(label->fontMetrics().height(), label->height()) << label->text().toStdString();
    }
    for (const char* caption :
         {"测试时间间隔：", "发送缓冲大小：", "超时时间", "测试数目：", "重复每 IP："})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(caption))) << caption;
    for (const QWidget* child : frame.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(frame.rect().contains(child->geometry())) << child->objectName().toStdString();
    for (const char* name : {"CommandA_0", "CommandA_1"})
        EXPECT_EQ(frame.findChild<QToolButton*>(name)->toolTip(), "高级设置");
    auto* selector = frame.findChild<QToolButton*>("CommandSelectFun_2");
    EXPECT_EQ(selector->toolTip(), "选择命令");
    int selected = 0;
    QObject::connect(&frame, &ParameterFrame::functionSelectorClicked, [&] { ++selected; });
    selector->click();
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(total(), "");
}

TEST_F(ParameterFrameTest, BoxesFollowTheModelWithoutFeedingBack) {
    params.setText(ParameterBox::Times, "64");  // from the settings, say
    EXPECT_EQ(combo("ComboTimes")->currentIndex(), 7);
    EXPECT_EQ(combo("ComboTimes")->currentText(), "64");
    params.setText(ParameterBox::Size, "100");
    EXPECT_EQ(combo("ComboSize")->currentText(), "100");
    EXPECT_EQ(params.text(ParameterBox::Size), "100");
    Pick(combo("ComboSize"), "加强 32 个字节");
    EXPECT_EQ(combo("ComboTimes")->currentText(), "1000");
    EXPECT_EQ(params.run().testTimes, 1000);
    EXPECT_EQ(total(), "总数：1000");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ParameterFrameTest, TypingRunsTheChangeHandlingButAnEmptiedBoxWaits) {
    clear("ComboTimeOut");
    EXPECT_TRUE(prompts.shown.isEmpty());  // emptied while typing a new value
    TypeKeys(edit("ComboTimeOut"), "1500");
    EXPECT_EQ(params.run().probeTimeout, 1500);
    EXPECT_EQ(params.text(ParameterBox::TimeOut), "1500");
    EXPECT_TRUE(prompts.shown.isEmpty());

    clear("ComboTimeOut");
    PressReturn(edit("ComboTimeOut"));  // left empty
    EXPECT_EQ(prompts.texts(), QStringList({"Inalid 超时值。"}));
    EXPECT_EQ(params.run().probeTimeout, 500);

    prompts.clear();
    clear("ComboTimeOut");
    TypeKeys(edit("ComboTimeOut"), "a");  // shown at once
    EXPECT_EQ(prompts.texts(), QStringList({"Inalid 超时值。"}));
    EXPECT_EQ(params.run().probeTimeout, 500);

    prompts.clear();
    clear("ComboRepIP");
    TypeKeys(edit("ComboRepIP"), "3");
    clear("ComboTimes");
    TypeKeys(edit("ComboTimes"), "4");
    EXPECT_EQ(total(), "总数：12");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ParameterFrameTest, AnIntervalWithoutNumberIsReportedAndThe600MsItemReturns) {
    clear("ComboInv");
    TypeKeys(edit("ComboInv"), "a");
    EXPECT_EQ(prompts.texts(), QStringList({"Inalid 测试时间间隔。"}));
    EXPECT_EQ(combo("ComboInv")->currentIndex(), 14);
    EXPECT_EQ(combo("ComboInv")->currentText(), "600 毫秒");
}

TEST_F(ParameterFrameTest, AdvancedIntervalDialogFromTheButtonAndFromTheList) {
    QString title;
    WhenModal([&](QDialog* dialog) {
        title = dialog->windowTitle();
        click<QPushButton>(dialog, "Command2");
    });
    frame.findChild<QToolButton*>("CommandA_0")->click();
    EXPECT_EQ(title, "高级测试时间间隔设置");
    EXPECT_EQ(combo("ComboInv")->currentText(), "1000 to 0, 10--, 1");
    EXPECT_EQ(params.run().interval.mode, "增量");

    WhenModal([](QDialog* dialog) { click<QPushButton>(dialog, "Command1"); });
    Pick(combo("ComboInv"), "高级");
    EXPECT_EQ(combo("ComboInv")->currentIndex(), 14);
    EXPECT_EQ(combo("ComboInv")->currentText(), "600 毫秒");
}

TEST_F(ParameterFrameTest, AdvancedSizeDialogSetsTheSizesAndTheNumberOfTests) {
    WhenModal([](QDialog* dialog) { click<QPushButton>(dialog, "OKButton"); });
    frame.findChild<QToolButton*>("CommandA_1")->click();
    EXPECT_EQ(combo("ComboSize")->currentText(), "32 to 32000, 32++, 1");
    EXPECT_EQ(combo("ComboTimes")->currentText(), "1000");

    WhenModal([](QDialog* dialog) {
        dialog->findChild<QRadioButton*>("Option2")->setChecked(true);
        click<QPushButton>(dialog, "OKButton");
    });
    Pick(combo("ComboSize"), "高级");
    EXPECT_EQ(combo("ComboSize")->currentText(), "16,32,64,128,1024 /4");
    EXPECT_EQ(combo("ComboTimes")->currentText(), "Continually");

    WhenModal([](QDialog* dialog) { click<QPushButton>(dialog, "CancelButton"); });
    frame.findChild<QToolButton*>("CommandA_1")->click();
    EXPECT_EQ(combo("ComboSize")->currentIndex(), 2);
    EXPECT_EQ(combo("ComboSize")->currentText(), "32  字节");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

}  // namespace
}  // namespace sondrel
