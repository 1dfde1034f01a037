#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "engine/test_parameters.h"
#include "engine/ui/dialog_advance_interval.h"
#include "engine/ui/dialog_advance_size.h"
#include "engine/ui/widget_parameter_dialogs.h"
#include "support/recording_prompts.h"
#include "ui/ui_test_helpers.h"

namespace sondrel {
namespace {

using testing::Backspace;
using testing::RecordingPrompts;
using testing::TypeKeys;
using testing::WhenModal;

const QColor Grey(0x80, 0x80, 0x80);

QLineEdit* Box(const QWidget& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(name);
}
void Click(const QWidget& dialog, const char* name) {
    dialog.findChild<QPushButton*>(name)->click();
}
bool IsGrey(const QWidget* widget) {
    return widget->palette().color(QPalette::Text) == Grey;
}

TEST(DialogAdvanceIntervalTest, ShowsTheStoredTextsAndKeepsTypedOnesAfterCancel) {
    IntervalDialogValues values;
    DialogAdvanceInterval dialog(values);
    EXPECT_EQ(dialog.windowTitle(), "高级测试时间间隔设置");
    EXPECT_EQ(Box(dialog, "TextIFrom")->text(), "1000");
    EXPECT_EQ(Box(dialog, "TextITo")->text(), "0");
    EXPECT_EQ(Box(dialog, "TextIIncre")->text(), "10");
    EXPECT_EQ(Box(dialog, "TextIRe")->text(), "1");
    EXPECT_EQ(dialog.findChild<QPushButton*>("Command1")->text(), "取消");
    const QLabel* direction = dialog.findChild<QLabel*>("LabelDirection");
    EXPECT_EQ(direction->text(), "降低");
    TypeKeys(Box(dialog, "TextITo"), "2000");  // "02000"
    EXPECT_EQ(direction->text(), "加强");
    Backspace(Box(dialog, "TextIFrom"), 4);
    TypeKeys(Box(dialog, "TextIFrom"), "5000");
    EXPECT_EQ(direction->text(), "降低");

    dialog.show();
    Click(dialog, "Command1");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(values.from, "5000");
    EXPECT_EQ(values.to, "02000");
    DialogAdvanceInterval again(values);
    EXPECT_EQ(Box(again, "TextIFrom")->text(), "5000");
}

TEST(DialogAdvanceIntervalTest, BoxesTakeDigitsAndBackspaceOnly) {
    IntervalDialogValues values;
    DialogAdvanceInterval dialog(values);
    QLineEdit* from = Box(dialog, "TextIFrom");
    TypeKeys(from, "1a2, -.");
    EXPECT_EQ(from->text(), "100012");
    Backspace(from, 2);
    EXPECT_EQ(from->text(), "1000");
    TypeKeys(Box(dialog, "TextIRe"), "中9");
    EXPECT_EQ(Box(dialog, "TextIRe")->text(), "19");
}

class DialogAdvanceSizeTest : public ::testing::Test {
  protected:
    RecordingPrompts prompts;
    RunParameters run;
    SizeDialogModel model{prompts, run};
};

TEST_F(DialogAdvanceSizeTest, OpensWithTheModelTextsAndGreysTheOptionNotChosen) {
    DialogAdvanceSize dialog(model);
    EXPECT_EQ(dialog.windowTitle(), "高级发送缓冲大小设置");
    EXPECT_EQ(dialog.findChild<QRadioButton*>("Option1")->text(), "增量大小");
    EXPECT_EQ(dialog.findChild<QRadioButton*>("Option2")->text(), "多个尺寸");
    EXPECT_EQ(Box(dialog, "TextIFrom")->text(), "32");
    EXPECT_EQ(Box(dialog, "TextITo")->text(), "32000");
    EXPECT_EQ(Box(dialog, "TextIIncre")->text(), "32");
    EXPECT_EQ(Box(dialog, "TextIRe")->text(), "1");
    EXPECT_EQ(Box(dialog, "TextMV")->text(), "16,32,64,128,1024");
    EXPECT_EQ(Box(dialog, "TextMRe")->text(), "4");
    EXPECT_EQ(dialog.findChild<QPushButton*>("CancelButton")->text(), "取消");
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("Option1")->isChecked());
    EXPECT_TRUE(IsGrey(Box(dialog, "TextMV")));
    EXPECT_FALSE(IsGrey(Box(dialog, "TextIFrom")));

    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(Box(dialog, "TextMRe"), &focus);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("Option2")->isChecked());
    EXPECT_TRUE(IsGrey(Box(dialog, "TextIFrom")));
    EXPECT_TRUE(IsGrey(Box(dialog, "TextIRe")));
    EXPECT_FALSE(IsGrey(Box(dialog, "TextMV")));
    QCoreApplication::sendEvent(Box(dialog, "TextITo"), &focus);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("Option1")->isChecked());

    TypeKeys(Box(dialog, "TextMV"), ",5x;");
    EXPECT_EQ(Box(dialog, "TextMV")->text(), "16,32,64,128,1024,5");
    TypeKeys(Box(dialog, "TextMRe"), ",");
    EXPECT_EQ(Box(dialog, "TextMRe")->text(), "4");
}

// Each refused OK shows its message and leaves the dialog open with the run untouched.
TEST_F(DialogAdvanceSizeTest, EveryRefusedOkShowsItsMessageAndStaysOpen) {
    const struct {
        const char* option;
        std::vector<std::pair<const char*, QString>> texts;
        QString message;
    } cases[] = {
        {"Option1", {{"TextIFrom", "0"}}, "从发送缓冲大小值无效。"},
        {"Option1", {{"TextIFrom", ""}}, "从发送缓冲大小值无效。"},
        {"Option1", {{"TextIFrom", "32001"}}, "'从发送缓冲大小，' 无效值的最大大小是 32000。"},
        {"Option1", {{"TextITo", "0"}}, "发送缓冲大小值无效。"},
        {"Option1", {{"TextITo", "32001"}}, "发送到缓冲大小，值无效的最大大小是 32000。"},
        {"Option1", {{"TextIFrom", "100"}, {"TextITo", "100"}}, "发送缓冲区大小值无效。"},
        {"Option1", {{"TextIIncre", "0"}}, "'增量值无效。"},
        {"Option1", {{"TextIIncre", "40000"}}, "无效值的增量值，最大大小是31968.   "},
        {"Option1", {{"TextIRe", "0"}}, "“每个值重复时间”的值无效，最小值是1"},
        {"Option1", {{"TextIRe", "40000"}}, "溢出    CommandAddIP_Click"},
        {"Option2", {{"TextMV", ""}}, "请输入 '值'。"},
        {"Option2", {{"TextMV", ","}}, "请输入 '值'。"},
        {"Option2", {{"TextMV", "16,a2"}}, "无效字符 'a' in the 'Values'.  "},
        {"Option2", {{"TextMRe", "0"}}, "“每个值重复时间”的值无效，最小值是1"},
        {"Option2", {{"TextMV", "16,0"}}, "在值 0 值无效。"},
        {"Option2", {{"TextMV", "16,,32"}}, "在值 0 值无效。"},
        {"Option2", {{"TextMV", "64,40000"}}, "无效值 '40000' '值' 中的最大值是 32000。"},
    };
    for (const auto& c : cases) {
        RunParameters fresh;
        SizeDialogModel freshModel{prompts, fresh};
        DialogAdvanceSize dialog(freshModel);
        dialog.show();
        dialog.findChild<QRadioButton*>(c.option)->setChecked(true);
        for (const auto& [name, text] : c.texts)
            Box(dialog, name)->setText(text);  // pasted
        prompts.clear();
        Click(dialog, "OKButton");
        EXPECT_EQ(prompts.texts(), QStringList({c.message})) << c.message.toStdString();
        EXPECT_TRUE(dialog.isVisible()) << c.message.toStdString();
        EXPECT_EQ(fresh.size.mode, "") << c.message.toStdString();
    }
}

TEST_F(DialogAdvanceSizeTest, AcceptedOkClosesWithTheSizesSet) {
    DialogAdvanceSize dialog(model);
    dialog.show();
    Box(dialog, "TextIIncre")->setText("64");
    Click(dialog, "OKButton");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(run.size.mode, "增量");
    EXPECT_EQ(run.size.count, 500);  // 31,968 / 64 + 1
    EXPECT_EQ(model.textIIncre, "64");

    DialogAdvanceSize list(model);
    list.show();
    list.findChild<QRadioButton*>("Option2")->setChecked(true);
    Click(list, "OKButton");
    EXPECT_EQ(run.size.mode, "多个");
    EXPECT_EQ(run.size.list, QList<qint32>({16, 32, 64, 128, 1024}));
    EXPECT_EQ(run.size.summary, "16,32,64,128,1024 /4");
    EXPECT_EQ(model.option, SizeDialogModel::Option::Multiple);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(DialogAdvanceSizeTest, DialogsOpenModallyBesideTheMainWindow) {
    QWidget window;
    window.setGeometry(300, 200, 796, 561);
    window.show();
    WidgetParameterDialogs dialogs(&window);
    QPoint at;
    bool modal = false;
    WhenModal([&](QDialog* dialog) {
        at = dialog->pos();
        modal = dialog->isModal();
        Click(*dialog, "OKButton");
    });
    EXPECT_TRUE(dialogs.runSizeDialog(model));
    EXPECT_TRUE(modal);
    EXPECT_EQ(at, window.frameGeometry().topLeft() + QPoint(195, 139));  // 2,925 and 2,088 twips

    IntervalDialogValues values;
    WhenModal([](QDialog* dialog) {
        Box(*dialog, "TextIRe")->setText("3");
        Click(*dialog, "Command1");
    });
    EXPECT_FALSE(WidgetParameterDialogs(nullptr).runIntervalDialog(values));
    EXPECT_EQ(values.repeat, "3");
    WhenModal([](QDialog* dialog) { Click(*dialog, "Command2"); });
    EXPECT_TRUE(dialogs.runIntervalDialog(values));
}

}  // namespace
}  // namespace sondrel
