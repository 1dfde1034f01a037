#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QThread>

#include "common/ui/twips.h"
#include "console/command_history.h"
#include "window_driver.h"

namespace sondrel {
namespace {

// The console pane of the window over its own data folder.
class ConsoleWindowTest : public testing::WindowTest {
  protected:
    QListWidget* list(const char* name) { return find<QListWidget>(name); }
    QLineEdit* commandBox() { return find<QLineEdit>("TextCmd"); }
    QStringList items(const char* name) {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i)
            texts << list(name)->item(i)->text();
        return texts;
    }
    void clickItem(const char* name, int row) {
        Q_EMIT list(name)->itemClicked(list(name)->item(row));
    }
};

TEST_F(ConsoleWindowTest, F8ShowsThePaneWithTheHistoryAndPresetsFillTheCommandBox) {
    open();
    EXPECT_FALSE(find("PictureDOS")->isVisible());
    find<QAction>("mnuDos")->trigger();
    QWidget* pane = find("PictureDOS");
    EXPECT_TRUE(pane->isVisible());
    EXPECT_EQ(pane->geometry().topLeft(), TwipsRect(5450, 2820, 0, 0).topLeft());
    EXPECT_EQ(items("ListDOSHis").size(), 11);
    EXPECT_EQ(commandBox()->text(), "tracert www.debian.org");
    button("CommandDOS_0")->click();
    EXPECT_TRUE(list("ListCmd")->isVisible());
    EXPECT_EQ(items("ListCmd").size(), 18);
    clickItem("ListCmd", 3);
    EXPECT_EQ(commandBox()->text(), "ip addr");
    EXPECT_FALSE(list("ListCmd")->isVisible());
    clickItem("ListDOSHis", 3);
    EXPECT_EQ(commandBox()->text(), "hostname");
}

// A picked address replaces the dotted token of the command; the separator only closes.
TEST_F(ConsoleWindowTest, PickListPutsAnAddressIntoTheCommand) {
    writeList({"ALoop,127.0.0.5", "BPair,127.0.0.2,127.0.0.3"});
    open();
    find<QAction>("mnuDos")->trigger();
    EXPECT_EQ(items("ListIP2"),
              QStringList({"127.0.0.5", "----------------------------", "添加一个 IP / URL"}));
    button("CommandDOS_1")->click();
    clickItem("ListIP2", 0);
    EXPECT_EQ(commandBox()->text(), "tracert 127.0.0.5");
    EXPECT_FALSE(list("ListIP2")->isVisible());
}

TEST_F(ConsoleWindowTest, AddAndDeleteThroughTheButtonsAndTheHistoryMenu) {
    open();
    find<QAction>("mnuDos")->trigger();
    commandBox()->setText("   ");
    button("CommandDOS_4")->click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("当前没有要添加的命令行。"));
    commandBox()->setText("ip route");
    button("CommandDOS_4")->click();
    EXPECT_EQ(items("ListDOSHis").last(), "ip route");
    list("ListDOSHis")->item(0)->setSelected(true);
    prompts.answer = true;
    find<QAction>("mnuDel_4")->trigger();
    EXPECT_EQ(items("ListDOSHis").size(), 11);
    EXPECT_FALSE(items("ListDOSHis").contains("tracert www.debian.org"));
}

// Run opens a console window (here a stand-in terminal) and, with the box ticked, keeps the
// command in the history.
TEST_F(ConsoleWindowTest, RunOpensATerminalAndRemembersTheCommand) {
    const QString term = folder.filePath("term");
    QFile script(term);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray saved = qgetenv("TERMINAL");
    qputenv("TERMINAL", term.toUtf8());
    open();
    find<QAction>("mnuDos")->trigger();
    find<QCheckBox>("CheckAutoAdd")->setChecked(true);
    commandBox()->setText("  ls -l ");
    testing::PressReturn(commandBox());
    qputenv("TERMINAL", saved);
    for (int i = 0; i < 200 && !QFile::exists(folder.filePath("args.txt")); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(folder.filePath("args.txt")));
    EXPECT_EQ(items("ListDOSHis").last(), "ls -l");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

}  // namespace
}  // namespace sondrel
