#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "app/product_page.h"
#include "app/ui/dialog_help.h"
#include "window_driver.h"

namespace sondrel {
namespace {

class ShellWindowTest : public testing::WindowTest {
  protected:
    DialogHelp* help() { return window->findChild<DialogHelp*>("DialogHelp"); }
    QString counter() { return help()->findChild<QLabel*>("Label1")->text(); }
    // A button of the help window (the main window has a `Command1` of its own).
    void click(const char* name) { help()->findChild<QAbstractButton*>(name)->click(); }
};

// The help window keeps its page between showings and pages only within 1 to 9.
TEST_F(ShellWindowTest, HelpOpensOnPageOneAndKeepsItsPage) {
    open();
    find<QAction>("mnuHowto")->trigger();
    ASSERT_NE(help(), nullptr);
    EXPECT_TRUE(help()->isVisible());
    EXPECT_FALSE(help()->isModal());
    EXPECT_EQ(counter(), "1 of 9");
    EXPECT_TRUE(help()->findChild<QWidget*>("PictureFirst_1")->isVisible());
    click("CommandPre");
    EXPECT_EQ(help()->page(), 1);
    for (int i = 0; i < 3; ++i)
        click("CommandNext");
    EXPECT_EQ(counter(), "4 of 9");
    EXPECT_TRUE(help()->findChild<QWidget*>("PictureScan_3")->isVisible());
    EXPECT_FALSE(help()->findChild<QWidget*>("PictureFirst_1")->isVisible());
    click("Command1");
    EXPECT_FALSE(help()->isVisible());
    button("Command12")->click();
    EXPECT_EQ(counter(), "4 of 9");
    for (int i = 0; i < 8; ++i)
        click("CommandNext");
    EXPECT_EQ(help()->page(), 9);
    EXPECT_EQ(counter(), "9 of 9");
    auto* note = help()->findChild<QLabel*>("Text1_20");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QStringLiteral("注： 要执行长时间测试或附表测试，"));
    EXPECT_EQ(note->parentWidget()->objectName(), "PicturePing_2");
    EXPECT_EQ(help()->findChild<QLabel*>("Text1_21")->text(),
              QStringLiteral("请禁用计算机休眠模式。"));
}

// The picture of the shown pane at the pane's own size; no pane shown, an empty clipboard.
TEST_F(ShellWindowTest, CopyPutsTheShownPaneOnTheClipboard) {
    open();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    button("Command2")->click();
    QWidget* pane = find("Picture2");
    EXPECT_EQ(clipboard->pixmap().size(), pane->contentsRect().size());
    EXPECT_TRUE(find("Text402")->hasFocus());
    pane->hide();
    QWidget* scanPane = find("Picture3");
    scanPane->show();
    find<QAction>("mnuCopy")->trigger();
    EXPECT_EQ(clipboard->pixmap().size(), scanPane->contentsRect().size());
    scanPane->hide();
    find<QAction>("mnuCopy")->trigger();
    EXPECT_TRUE(clipboard->pixmap().isNull());
}

TEST(ProductPage, TheHelpPageBesideTheProgramElseTheInstalledOne) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir().mkpath(folder.path() + "/bin"));
    EXPECT_EQ(ProductWebAddressIn(folder.path() + "/bin").toLocalFile(),
              folder.path() + "/share/doc/sondrel/sondrel.html");
    QFile page(folder.path() + "/bin/sondrel.html");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    EXPECT_EQ(ProductWebAddressIn(folder.path() + "/bin").toLocalFile(), page.fileName());
}

}  // namespace
}  // namespace sondrel
