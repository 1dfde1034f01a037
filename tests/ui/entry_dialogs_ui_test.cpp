#include <QAction>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "common/ui/twips.h"
#include "target_list_driver.h"

namespace sondrel {
namespace {

using testing::Child;
using testing::Click;
using testing::ClickOn;
using testing::DialogScript;
using testing::LoopbackList;
using testing::StatusColourOf;
using testing::StatusOf;
using testing::TypeAtFocus;
using testing::TypeInto;

const QColor Green(0, 192, 0);
const QColor Red(255, 0, 0);

// Selects everything in the box with the keyboard and types the text over it; a line break
// is the Enter key.
void Retype(QDialog* dialog, const QString& name, const QString& text) {
    QWidget* box = Child(dialog, name);
    box->setFocus(Qt::OtherFocusReason);
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
    QApplication::sendEvent(dialog->focusWidget(), &selectAll);
    testing::Backspace(dialog->focusWidget());
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            testing::PressReturn(dialog->focusWidget());
        TypeAtFocus(dialog, lines[i]);
    }
}

QStringList Octets(QDialog* dialog, int array) {
    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts << Child<QComboBox>(dialog, QStringLiteral("Combo%1_%2").arg(array).arg(i))
                     ->currentText();
    return texts;
}

class EntryDialogsTest : public testing::TargetListWindow {
  protected:
    void SetUp() override {
        writeList(LoopbackList);
        open();
    }
    void expectRefused(const QString& text) {
        ASSERT_EQ(prompts.shown.size(), 1) << prompts.texts().join("|").toStdString();
        EXPECT_EQ(prompts.shown[0].text, text);
        EXPECT_EQ(prompts.shown[0].title, QStringLiteral("IP Error"));
        EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
        prompts.clear();
    }
    QPoint dialogPlace() const {
        return window->frameGeometry().topLeft() + QPoint(Twips(3500), Twips(1280));
    }
};

TEST_F(EntryDialogsTest, SingleEntryByOctetsHostNamesAndRefusals) {
    DialogScript script{
        [&](QDialog* d) {
            EXPECT_EQ(d->objectName(), "FormAddIP");
            EXPECT_EQ(d->windowTitle(), QStringLiteral("添加单个 IP"));
            EXPECT_EQ(d->pos(), dialogPlace());
            EXPECT_EQ(Child<QAbstractButton>(d, "Command1")->text(),
                      QStringLiteral("添加 IP 列表"));
            EXPECT_EQ(Child<QAbstractButton>(d, "Command3")->text(), QStringLiteral("侦测"));
            EXPECT_EQ(Child<QAbstractButton>(d, "Command2")->text(), QStringLiteral("退出"));
            EXPECT_EQ(d->focusWidget(), Child(d, "TextTittle"));
            EXPECT_TRUE(Child<QRadioButton>(d, "Option1_0")->isChecked());
            EXPECT_FALSE(Child(d, "Text2")->isVisible());
            EXPECT_EQ(Child<QComboBox>(d, "Combo1_0")->count(), 256);
            EXPECT_EQ(Child<QComboBox>(d, "Combo1_0")->itemText(255), "255");
            // The title refuses commas and parentheses.
            TypeAtFocus(d, "a,b(c)");
            EXPECT_EQ(Child<QLineEdit>(d, "TextTittle")->text(), "abc");
            testing::Backspace(d->focusWidget(), 3);
            // A dot or any other key moves on to the next box, after the last to Command1.
            TypeInto(d, "Combo1_0", "127.0.0.9x");
            EXPECT_EQ(d->focusWidget(), Child(d, "Command1"));
            EXPECT_EQ(Octets(d, 1), QStringList({"127", "0", "0", "9"}));
            Click(d, "Command1");
        },
        [&](QDialog* d) {
            EXPECT_EQ(StatusOf(d), QStringLiteral("'127.0.0.9,127.0.0.9' 已添加到列表中."));
            EXPECT_EQ(StatusColourOf(d), Green);
            EXPECT_EQ(listIP()->currentItem()->text(), "127.0.0.9");
            // A host name under a title that differs from "local" in case only.
            ClickOn(Child(d, "Option1_1"));
            EXPECT_TRUE(Child(d, "Text2")->isVisible());
            EXPECT_FALSE(Child(d, "Combo1_0")->isVisible());
            TypeInto(d, "TextTittle", "LOCAL");
            TypeInto(d, "Text2", "local host");
            testing::PressReturn(Child(d, "Text2"));  // Enter adds
        },
        [&](QDialog* d) {
            EXPECT_EQ(StatusOf(d), QStringLiteral("相同的标题LOCAL' 已存在。"));
            EXPECT_EQ(StatusColourOf(d), Red);
            // Octets out of range.
            ClickOn(Child(d, "Option1_0"));
            TypeInto(d, "Combo1_0", "999");
            Click(d, "Command1");
            expectRefused(QStringLiteral("IP 输入无效，请检查。"));
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(d->focusWidget(), Child(d, "TextTittle"));
            Click(d, "Command2");
        },
    };
    script.run([&] { trigger("mnuAddS"); });
    EXPECT_EQ(entries(),
              QStringList({"A127.0.0.9,127.0.0.9", "Alocal,127.0.0.1", "Aloop2,127.0.0.2",
                           "Bgrp,127.0.0.3,127.0.0.4 (four)", "Crng,127.0.0.7,127.0.0.5"}));
    EXPECT_EQ(fileLines().size(), 6);
    EXPECT_FALSE(window->runState().activityBusy());
}

TEST_F(EntryDialogsTest, GroupEntryWithSampleTextHelpMemberChecksAndDefaultTitle) {
    DialogScript script{
        [&](QDialog* d) {
            EXPECT_EQ(d->objectName(), "FormAddIPG");
            EXPECT_EQ(d->windowTitle(), QStringLiteral("添加一组 IP 地址"));
            EXPECT_EQ(d->pos(), dialogPlace());
            EXPECT_EQ(Child<QLineEdit>(d, "TextTittle")->text(), "IP_Group_");
            EXPECT_EQ(Child<QAbstractButton>(d, "Command4")->text(), QStringLiteral("侦测"));
            auto* members = Child<QPlainTextEdit>(d, "TextIPs");
            EXPECT_TRUE(members->toPlainText().startsWith(QStringLiteral("输入")));
            ClickOn(Child(d, "ImageHelp"));
            EXPECT_TRUE(Child(d, "PictureHelp")->isVisible());
            Click(d, "CommandHelpOK");
            EXPECT_FALSE(Child(d, "PictureHelp")->isVisible());
            Click(d, "Command1");  // the sample text is no input: shown again
        },
        [&](QDialog* d) {
            EXPECT_TRUE(prompts.shown.isEmpty());
            auto* members = Child<QPlainTextEdit>(d, "TextIPs");
            members->setFocus(Qt::MouseFocusReason);
            EXPECT_EQ(members->toPlainText(), "");
            EXPECT_EQ(members->palette().color(QPalette::Text), QColor(0, 0, 128));
            TypeAtFocus(d, "127.0.0.3 (x)");
            testing::PressReturn(members);
            testing::PressReturn(members);
            TypeAtFocus(d, "127.0.0.4");
            Click(d, "Command1");
            expectRefused(QStringLiteral(" IP 项无效''.   "));
            EXPECT_EQ(d->focusWidget(), members);
            Retype(d, "TextIPs", "127.0.0.3 (x)\n127.0.0.300");
            Click(d, "Command1");
            expectRefused(QStringLiteral(" IP 项无效'127.0.0.300'.   "));
            // One trailing line break is accepted; the empty title takes the default.
            Retype(d, "TextIPs", "127.0.0.3 (x)\n127.0.0.4\n");
            Retype(d, "TextTittle", "");
            Click(d, "Command1");
        },
        [&](QDialog* d) {
            EXPECT_EQ(StatusOf(d), QStringLiteral("'IP_群组' 已添加到列表中."));
            EXPECT_EQ(StatusColourOf(d), Green);
            Click(d, "Command2");
        },
    };
    script.run([&] { ClickOn(button("CommandAdd_1")); });
    EXPECT_TRUE(entries().contains(QStringLiteral("BIP_群组,127.0.0.3 (x),127.0.0.4")));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(EntryDialogsTest, RangeEntryWithCopyKeyRuleRefusalsAndScanButton) {
    DialogScript script{
        [&](QDialog* d) {
            EXPECT_EQ(d->objectName(), "FormAddIPR");
            EXPECT_EQ(d->windowTitle(), QStringLiteral("添加一个范围内的 IP 地址"));
            EXPECT_EQ(d->pos(), dialogPlace());
            EXPECT_EQ(Child<QLineEdit>(d, "TextTittle")->text(), QStringLiteral("IP_范围_"));
            EXPECT_EQ(Child<QAbstractButton>(d, "Command4")->text(), QStringLiteral("扫描 IP"));
            EXPECT_EQ(Child(d, "Command3")->toolTip(),
                      QStringLiteral("复制 ' 形式 IP' 到 '到 '的 IP"));
            // After the last start box the keys go on to the first end box.
            TypeInto(d, "Combo1_0", "127.0.0.9.");
            EXPECT_EQ(d->focusWidget(), Child(d, "Combo2_0"));
            ClickOn(Child(d, "Command3"));
            EXPECT_EQ(Octets(d, 2), QStringList({"127", "0", "0", "9"}));
            TypeInto(d, "Combo2_3", "1x");
            EXPECT_EQ(d->focusWidget(), Child(d, "Command1"));
            Retype(d, "TextTittle", "");
            Click(d, "Command1");
        },
        [&](QDialog* d) {
            EXPECT_EQ(StatusOf(d), QStringLiteral("'IP_区域' 已添加到列表中."));
            Retype(d, "Combo1_3", "");
            Click(d, "Command1");
            expectRefused(QStringLiteral("无效 IP 条目，请检查 IP 字段 1，不能输入 URL。"));
            Retype(d, "Combo1_3", "9");
            Retype(d, "Combo2_0", "999");
            Click(d, "Command1");
            expectRefused(QStringLiteral("无效的 IP 条目，请检查 IP 字段 2，不能输入 URL。"));
            Retype(d, "Combo2_0", "127");
            // The scan button is offered (its scan is tested with the scan window).
            auto* scan = Child<QAbstractButton>(d, "Command4");
            EXPECT_TRUE(scan->isVisible());
            EXPECT_TRUE(scan->isEnabled());
            Click(d, "Command2");
        },
    };
    script.run([&] { trigger("munAddR"); });
    EXPECT_TRUE(entries().contains(QStringLiteral("CIP_区域,127.0.0.9,127.0.0.1")))
        << entries().join("|").toStdString();
    EXPECT_EQ(entries().size(), 5) << entries().join("|").toStdString();
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_TRUE(echo.sent.isEmpty());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

// The operator types on after a prefilled title: the cursor is at its end, nothing selected,
// at every opening of every dialog.
TEST_F(EntryDialogsTest, PrefilledTitlesOpenWithTheCursorAfterTheText) {
    auto typeOn = [](QDialog* d, const QString& prefilled) {
        auto* title = Child<QLineEdit>(d, "TextTittle");
        EXPECT_EQ(d->focusWidget(), title);
        EXPECT_EQ(title->text(), prefilled);
        EXPECT_EQ(title->selectedText(), "");
        EXPECT_EQ(title->cursorPosition(), prefilled.size());
        TypeAtFocus(d, "7");
        EXPECT_EQ(title->text(), prefilled + "7");
    };
    // The dialog is made once and shown again.
    for (int showing = 0; showing < 2; ++showing) {
        DialogScript group{[&](QDialog* d) {
            typeOn(d, "IP_Group_");
            // Only the opening is special: coming back by Tab selects the title as usual.
            Child(d, "TextIPs")->setFocus(Qt::MouseFocusReason);
            Child(d, "TextTittle")->setFocus(Qt::BacktabFocusReason);
            EXPECT_EQ(Child<QLineEdit>(d, "TextTittle")->selectedText(), "IP_Group_7");
            Click(d, "Command2");
        }};
        group.run([&] { ClickOn(button("CommandAdd_1")); });
    }
    DialogScript range{[&](QDialog* d) {
        typeOn(d, QStringLiteral("IP_范围_"));
        Click(d, "Command2");
    }};
    range.run([&] { trigger("munAddR"); });
    clickItem(1);  // loop2
    DialogScript edit{[&](QDialog* d) {
        typeOn(d, "loop2");
        Click(d, "Command2");
    }};
    edit.run([&] { trigger("mnuEdit"); });
    EXPECT_EQ(titles(), QStringList({"local", "loop2", "grp", "rng"}));
}

// Enter and keypad Enter press the focused button, as Space does; in a box Enter presses none.
TEST_F(EntryDialogsTest, EnterPressesTheFocusedButton) {
    const QStringList before = entries();
    DialogScript single{
        [&](QDialog* d) {
            testing::PressKey(Qt::Key_Return);  // in the title
            EXPECT_EQ(entries(), before);
            EXPECT_TRUE(d->isVisible());
            // The key rule moves on to the add button after the last octet.
            TypeInto(d, "Combo1_0", "127.0.0.9x");
            ASSERT_EQ(d->focusWidget(), Child(d, "Command1"));
            testing::PressKey(Qt::Key_Return);
        },
        [&](QDialog* d) {
            EXPECT_EQ(StatusOf(d), QStringLiteral("'127.0.0.9,127.0.0.9' 已添加到列表中."));
            Child(d, "Command2")->setFocus(Qt::TabFocusReason);
            testing::PressKey(Qt::Key_Enter, Qt::KeypadModifier);
        },
    };
    single.run([&] { trigger("mnuAddS"); });
    EXPECT_EQ(entries().size(), before.size() + 1);

    DialogScript range{
        [&](QDialog* d) {
            TypeInto(d, "Combo1_0", "127.0.0.20.127.0.0.21x");
            ASSERT_EQ(d->focusWidget(), Child(d, "Command1"));
            testing::PressKey(Qt::Key_Enter, Qt::KeypadModifier);
        },
        [&](QDialog* d) {
            EXPECT_EQ(StatusOf(d), QStringLiteral("'IP_范围_' 已添加到列表中."));
            Click(d, "Command2");
        },
    };
    range.run([&] { trigger("munAddR"); });
    EXPECT_EQ(entries().size(), before.size() + 2);
    EXPECT_TRUE(entries().contains(QStringLiteral("CIP_范围_,127.0.0.20,127.0.0.21")))
        << entries().join("|").toStdString();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

TEST_F(EntryDialogsTest, TestButtonsRunAPingTestWithoutSaving) {
    oneRound();
    const QStringList before = fileLines();
    DialogScript single{[&](QDialog* d) {
        TypeInto(d, "Combo1_0", "127.0.0.8");
        Click(d, "Command3");
    }};
    single.run([&] { trigger("mnuAddS"); });
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"127.0.0.8"}));

    echo.sent.clear();
    DialogScript group{[&](QDialog* d) {
        Retype(d, "TextIPs", "127.0.0.3\n127.0.0.4 (four)");
        Click(d, "Command4");
    }};
    group.run([&] { ClickOn(button("CommandAdd_1")); });
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"127.0.0.3", "127.0.0.4"}));
    EXPECT_EQ(window->pingTest().targets().targetTitle, QStringList({"", "four"}));
    EXPECT_EQ(fileLines(), before);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

TEST_F(EntryDialogsTest, EditSavesInPlaceAndADuplicateTitleChangesNothing) {
    clickItem(1);  // loop2
    DialogScript single{[&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("编辑 IP 地址"));
        EXPECT_EQ(Child<QAbstractButton>(d, "Command1")->text(), QStringLiteral("保存"));
        EXPECT_EQ(Child<QLineEdit>(d, "TextTittle")->text(), "loop2");
        EXPECT_EQ(Octets(d, 1), QStringList({"127", "0", "0", "2"}));
        Retype(d, "TextTittle", "second");
        Retype(d, "Combo1_3", "5");
        Click(d, "Command1");
    }};
    single.run([&] { trigger("mnuEdit"); });
    EXPECT_EQ(titles(), QStringList({"local", "second", "grp", "rng"}));
    EXPECT_EQ(entries()[1], "Asecond,127.0.0.5");
    EXPECT_EQ(listIP()->currentRow(), 1);

    clickItem(2);  // grp
    const QStringList before = fileLines();
    DialogScript group{
        [&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("编辑 IP 组"));
            auto* members = Child<QPlainTextEdit>(d, "TextIPs");
            EXPECT_EQ(members->toPlainText(), "127.0.0.3\n127.0.0.4 (four)");
            EXPECT_EQ(members->palette().color(QPalette::Text), QColor(0, 0, 128));
            Retype(d, "TextTittle", "LOCAL");
            Click(d, "Command1");
            EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
        },
        [&](QDialog* d) {
            EXPECT_EQ(StatusOf(d), QStringLiteral("相同的标题LOCAL' 已存在。"));
            EXPECT_EQ(StatusColourOf(d), Red);
            EXPECT_EQ(Child<QLineEdit>(d, "TextTittle")->text(), "LOCAL");  // as typed
            Click(d, "Command2");
        },
    };
    group.run([&] { ClickOn(button("CommandAdd_3")); });
    EXPECT_EQ(fileLines(), before);
    EXPECT_EQ(titles(), QStringList({"local", "second", "grp", "rng"}));

    // Without a current item there is nothing to edit.
    activateMain();
    textPing()->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(listIP()->currentRow(), -1);
    trigger("mnuEdit");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(EntryDialogsTest, DeleteAsksAboutTheSelectedOrTheCurrentEntry) {
    prompts.answer = true;
    clickItem(0);
    clickItem(2);
    ClickOn(button("CommandAdd_4"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("确实要删除2入围项目吗？\r\n\r\n    local\r\n    grp"));
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("删除 IP"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(prompts.shown[0].question);
    EXPECT_EQ(titles(), QStringList({"loop2", "rng"}));
    EXPECT_EQ(listIP()->currentRow(), 1);  // position 2 is gone: the last item

    // Nothing selected: the current entry, and No keeps it.
    prompts.clear();
    prompts.answer = false;
    clickItem(0);
    clickItem(0);
    trigger("mnuDelete");
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("是否确实要删除项目loop2'?")}));
    EXPECT_EQ(titles(), QStringList({"loop2", "rng"}));
    EXPECT_EQ(listIP()->currentRow(), 0);
}

TEST_F(EntryDialogsTest, DeletingTwelveEntriesListsNineTitles) {
    QStringList lines;
    for (int i = 10; i < 22; ++i)
        lines << QStringLiteral("Ae%1,127.0.0.%1").arg(i);
    window.reset();
    writeList(lines);
    open();
    prompts.answer = true;
    ClickOn(checkReset());
    ASSERT_EQ(selectedRows().size(), 12);
    trigger("mnuDelete");
    QString expected = QStringLiteral("确实要删除12入围项目吗？\r\n");
    for (int i = 10; i < 19; ++i)
        expected += QStringLiteral("\r\n    e%1").arg(i);
    expected += QStringLiteral("\r\n    ......");
    EXPECT_EQ(prompts.texts(), QStringList({expected}));
    EXPECT_EQ(listIP()->count(), 0);
    EXPECT_EQ(fileLines(), QStringList({" "}));
}

}  // namespace
}  // namespace sondrel
