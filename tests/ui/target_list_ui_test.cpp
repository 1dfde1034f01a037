#include <QAction>
#include <QToolButton>

#include "common/ui/twips.h"
#include "engine/test_parameters.h"
#include "target_list_driver.h"

namespace sondrel {
namespace {

using testing::ClickOn;
using testing::LoopbackList;
using testing::PressKey;
using testing::TargetListWindow;

class TargetListPanelTest : public TargetListWindow {
  protected:
    void SetUp() override {
        writeList(LoopbackList);
        open();
    }
    QRect placeOf(const QString& name) const {
        QWidget* w = find(name);
        return QRect(w->mapTo(window->centralWidget(), QPoint(0, 0)), w->size());
    }
    QWidget* popup() const { return find("PictureShowIP"); }
    QStringList popupMembers() const {
        QStringList out;
        auto* list = find<QListWidget>("TextShowIPs");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    void pointerOver(const QString& name) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(find(name), &enter);
    }
};

TEST_F(TargetListPanelTest, PanelShowsTheTitlesInTableOrderWithItsButtons) {
    EXPECT_EQ(titles(), QStringList({"local", "loop2", "grp", "rng"}));
    EXPECT_EQ(listIP()->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_EQ(placeOf("Picture1_0"), TwipsRect(240, 485, 4095, 1695));
    EXPECT_EQ(find("ListIP")->height(), Twips(1605));
    EXPECT_EQ(placeOf("CheckReset").topLeft(), TwipsRect(190, 170, 0, 0).topLeft());
    EXPECT_EQ(find<QLabel>("Label1_1")->text(), QStringLiteral("选择要测试的 1 个或更多 IP："));
    const struct {
        const char* name;
        const char* caption;
        const char* tip;
    } buttons[] = {{"CommandAdd_0", "添加S", "添加单个 IP 或 URL"},
                   {"CommandAdd_1", "添加G", "添加一组 IP 地址"},
                   {"CommandAdd_2", "添加R", "添加一个范围内的 IP 地址"},
                   {"CommandAdd_3", "编辑", "编辑选择项目"},
                   {"CommandAdd_4", "删除", "删除入围项目"}};
    int previousBottom = 0;
    for (const auto& b : buttons) {
        EXPECT_EQ(button(b.name)->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button(b.name)->toolTip(), QString::fromUtf8(b.tip));
        // At the right of the list, from top to bottom, inside the panel.
        const QRect place = placeOf(b.name);
        EXPECT_GT(place.left(), placeOf("ListIP").right()) << b.name;
        EXPECT_GE(place.top(), previousBottom) << b.name;
        EXPECT_TRUE(placeOf("Picture1_0").contains(place)) << b.name;
        previousBottom = place.bottom();
    }
    EXPECT_EQ(button("Picture1_1")->toolTip(), QStringLiteral("最大限度地 IP 列表框"));
    EXPECT_EQ(button("Picture1_2")->toolTip(), QStringLiteral("最小化 IP 列表框"));
    EXPECT_TRUE(find("Picture1_1")->isVisible());
    EXPECT_FALSE(find("Picture1_2")->isVisible());
    EXPECT_FALSE(popup()->isVisible());
}

TEST_F(TargetListPanelTest, ClicksKeepTheSelectionSummaryAndTheSelectAllBox) {
    clickItem(0);
    clickItem(1);
    clickItem(3);
    EXPECT_EQ(selectedRows(), QList<int>({0, 1, 3}));
    EXPECT_EQ(textPing()->text(), QStringLiteral("己选定3项目"));
    EXPECT_TRUE(checkReset()->isChecked());
    // Clearing the selection shows the current item's title and clears the box.
    clickItem(0);
    clickItem(1);
    clickItem(3);
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_EQ(textPing()->text(), "rng");
    EXPECT_FALSE(checkReset()->isChecked());

    // The operator's click on the box selects or deselects everything.
    ClickOn(checkReset());
    EXPECT_EQ(selectedRows(), QList<int>({0, 1, 2, 3}));
    EXPECT_EQ(textPing()->text(), QStringLiteral("己选定4项目"));
    EXPECT_TRUE(find("Text402")->hasFocus());
    ClickOn(checkReset());
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_FALSE(checkReset()->isChecked());

    // Keys that move or toggle an item count as clicks.
    testing::SendKey(listIP(), Qt::Key_Up, QString());
    EXPECT_EQ(textPing()->text(), "grp");
    testing::SendKey(listIP(), Qt::Key_Space, " ");
    EXPECT_EQ(selectedRows(), QList<int>({2}));
    EXPECT_EQ(textPing()->text(), QStringLiteral("己选定1项目"));
}

TEST_F(TargetListPanelTest, ResetMenuClearsTheSelectionWithoutTheBoxReacting) {
    clickItem(0);
    clickItem(2);  // the group: its members are shown
    ASSERT_TRUE(popup()->isVisible());
    ASSERT_TRUE(checkReset()->isChecked());
    button("CommandStart")->setFocus(Qt::OtherFocusReason);
    trigger("mnuReset");
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_FALSE(checkReset()->isChecked());
    // The box's own handler would have hidden the popup and moved the focus.
    EXPECT_TRUE(popup()->isVisible());
    EXPECT_TRUE(button("CommandStart")->hasFocus());
}

TEST_F(TargetListPanelTest, MembersPopupShowsGroupsAndRangesAtTheirHeights) {
    clickItem(2);
    ASSERT_TRUE(popup()->isVisible());
    EXPECT_EQ(find<QLabel>("TextShowIPsT")->text(), QStringLiteral("当前选定 IP 组："));
    EXPECT_EQ(find<QLabel>("TextShowIPsT2")->text(), "grp");
    EXPECT_EQ(popupMembers(), QStringList({"127.0.0.3", "127.0.0.4 (four)"}));
    EXPECT_EQ(placeOf("PictureShowIP"), TwipsRect(180, 2816, 3315, 3 * 190 + 1200));
    clickItem(3);
    EXPECT_EQ(find<QLabel>("TextShowIPsT")->text(), QStringLiteral("当前选定 IP 范围："));
    EXPECT_EQ(find<QLabel>("TextShowIPsT2")->text(), "rng");
    EXPECT_EQ(popupMembers(), QStringList({"", QStringLiteral("127.0.0.7  -  127.0.0.5")}));
    EXPECT_EQ(popup()->height(), Twips(1700));
    clickItem(0);  // a single entry hides it
    EXPECT_FALSE(popup()->isVisible());
    clickItem(2);
    ClickOn(find("Command18"));
    EXPECT_FALSE(popup()->isVisible());
}

TEST_F(TargetListPanelTest, EveryProbeHidesTheMembersPopup) {
    clickItem(2);
    ASSERT_TRUE(popup()->isVisible());
    button("CommandStart")->click();
    clock.runUntilIdle();
    EXPECT_EQ(echo.sentAddresses().value(0), "127.0.0.3");
    EXPECT_FALSE(popup()->isVisible());
}

TEST_F(TargetListPanelTest, LargeGroupPopupStopsAtItsLimit) {
    QStringList members;
    for (int i = 1; i <= 40; ++i)
        members << QStringLiteral("127.0.1.%1").arg(i);
    window.reset();
    writeList({"Bbig," + members.join(',')});
    open();
    clickItem(0);
    EXPECT_EQ(popup()->height(), Twips(5405));
    EXPECT_EQ(popupMembers(), members);
}

TEST_F(TargetListPanelTest, ClickingAGroupMemberTestsItAlone) {
    oneRound();
    QListWidget* members = find<QListWidget>("TextShowIPs");
    clickItem(2);
    clickRow(members, 1);
    // With the select-all box checked the member is not taken.
    EXPECT_EQ(textPing()->text(), QStringLiteral("己选定1项目"));
    clickItem(2);  // still current and shown, no longer selected
    ASSERT_FALSE(checkReset()->isChecked());
    ASSERT_TRUE(popup()->isVisible());
    clickRow(members, 1);
    EXPECT_EQ(textPing()->text(), "127.0.0.4");
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_EQ(listIP()->currentRow(), -1);
    PressKey(Qt::Key_F5);
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"127.0.0.4"}));
    // The lines of a range are not targets.
    clickItem(3);
    clickItem(3);
    ASSERT_EQ(textPing()->text(), "rng");
    clickRow(members, 1);
    EXPECT_EQ(textPing()->text(), "rng");
    EXPECT_EQ(listIP()->currentRow(), 3);
}

TEST_F(TargetListPanelTest, MaximiseAndRestoreAndThePointerOverTheResults) {
    clickItem(2);
    ClickOn(button("Picture1_1"));
    EXPECT_EQ(find("ListIP")->height(), Twips(7000));
    EXPECT_EQ(find("Picture1_0")->height(), Twips(7090));
    EXPECT_FALSE(find("Picture1_1")->isVisible());
    EXPECT_TRUE(find("Picture1_2")->isVisible());
    EXPECT_FALSE(popup()->isVisible());
    // In front of the lower band.
    const QPoint lowerBand = TwipsRect(1000, 4000, 0, 0).topLeft();
    EXPECT_TRUE(find("Picture1_0")->isAncestorOf(window->centralWidget()->childAt(lowerBand)));
    // While maximised a click shows no members.
    clickItem(3);
    EXPECT_FALSE(popup()->isVisible());
    ClickOn(button("Picture1_2"));
    EXPECT_EQ(find("ListIP")->height(), Twips(1605));
    EXPECT_EQ(find("Picture1_0")->height(), Twips(1695));
    EXPECT_TRUE(find("Picture1_1")->isVisible());
    EXPECT_FALSE(find("Picture1_2")->isVisible());

    // The pointer over an address row restores; over a detail row or a strip it also hides
    // the members.
    ClickOn(button("Picture1_1"));
    pointerOver("sIP_3");
    EXPECT_EQ(find("ListIP")->height(), Twips(1605));
    EXPECT_TRUE(find("Picture1_1")->isVisible());
    clickItem(2);
    ASSERT_TRUE(popup()->isVisible());
    pointerOver("sIP_3");
    EXPECT_TRUE(popup()->isVisible());
    pointerOver("sIP2_3");
    EXPECT_FALSE(popup()->isVisible());
    for (const char* strip : {"Label1_18", "Label1_19"}) {
        clickItem(2);
        ASSERT_TRUE(popup()->isVisible());
        pointerOver(strip);
        EXPECT_FALSE(popup()->isVisible()) << strip;
        ClickOn(button("Picture1_1"));
        pointerOver(strip);
        EXPECT_EQ(find("Picture1_0")->height(), Twips(1695)) << strip;
    }
}

TEST_F(TargetListPanelTest, ActivationOffersTheMaximiseButtonAndKeepsTheSize) {
    ClickOn(button("Picture1_1"));
    QEvent unblocked(QEvent::WindowUnblocked);
    QApplication::sendEvent(window.get(), &unblocked);
    EXPECT_TRUE(find("Picture1_1")->isVisible());
    EXPECT_FALSE(find("Picture1_2")->isVisible());
    EXPECT_EQ(find("Picture1_0")->height(), Twips(7090));
}

TEST_F(TargetListPanelTest, ManualBoxTakesOverFromTheList) {
    clickItem(1);
    clickItem(2);
    ASSERT_TRUE(popup()->isVisible());
    textPing()->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(textPing()->text(), "");  // the summary gives way
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_EQ(listIP()->currentRow(), -1);
    EXPECT_FALSE(popup()->isVisible());
    EXPECT_FALSE(checkReset()->isChecked());
    // Left empty, the first item becomes current; a typed target stays.
    find("Text402")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(listIP()->currentRow(), 0);
    EXPECT_TRUE(selectedRows().isEmpty());
    typeTarget("127.0.0.9");
    find("Text402")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(listIP()->currentRow(), -1);
    oneRound();
    PressKey(Qt::Key_F5);
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"127.0.0.9"}));
}

TEST_F(TargetListPanelTest, StartRunsTheSelectedEntriesInListOrder) {
    oneRound();
    clickItem(3);
    clickItem(0);
    clickItem(2);
    PressKey(Qt::Key_F5);
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"127.0.0.1", "127.0.0.3", "127.0.0.4", "127.0.0.7",
                                                 "127.0.0.6", "127.0.0.5"}));
    EXPECT_EQ(window->pingTest().targets().targetTitle.mid(0, 3),
              QStringList({"local", "", "four"}));
}

TEST_F(TargetListPanelTest, StartWithOnlyACurrentItemRunsAndSelectsIt) {
    oneRound();
    clickItem(1);
    clickItem(1);  // current, not selected
    ASSERT_TRUE(selectedRows().isEmpty());
    ClickOn(button("CommandStart"));
    EXPECT_EQ(selectedRows(), QList<int>({1}));
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"127.0.0.2"}));
}

TEST_F(TargetListPanelTest, AfterARunTheCurrentEntryIsShownAgain) {
    oneRound();
    clickItem(2);
    ASSERT_TRUE(popup()->isVisible());
    PressKey(Qt::Key_F5);
    EXPECT_FALSE(popup()->isVisible());
    clickItem(3);  // no members while the test runs
    EXPECT_FALSE(popup()->isVisible());
    runToTheEnd();
    EXPECT_TRUE(popup()->isVisible());
    EXPECT_EQ(find<QLabel>("TextShowIPsT2")->text(), "rng");
    EXPECT_EQ(textPing()->text(), QStringLiteral("己选定2项目"));
}

TEST_F(TargetListPanelTest, CommandLinePositionsSelectEntriesAndTheBuilderWritesThem) {
    window.reset();
    open(QStringLiteral("/0//2/;1000 毫秒;32  字节;500 毫秒;1;1"));
    window->ApplyCommandLine();
    EXPECT_EQ(selectedRows(), QList<int>({0, 2}));
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(), QStringList({"127.0.0.1", "127.0.0.3", "127.0.0.4"}));

    // The builder writes the selected positions; a run of the built text selects them again.
    clickItem(2);
    clickItem(3);
    testing::WhenModal([](QDialog* dialog) { dialog->reject(); });
    trigger("mnuBuildCmdLine");
    EXPECT_TRUE(window->builtCommandLine().contains(QStringLiteral("/0/3/;1000 毫秒;")))
        << window->builtCommandLine().toStdString();
    window.reset();
    echo.sent.clear();
    open(QStringLiteral("/0/3/9/;1000 毫秒;32  字节;500 毫秒;1;1"));  // 9 is skipped
    window->ApplyCommandLine();
    EXPECT_EQ(selectedRows(), QList<int>({0, 3}));
    runToTheEnd();
    EXPECT_EQ(echo.sentAddresses(),
              QStringList({"127.0.0.1", "127.0.0.7", "127.0.0.6", "127.0.0.5"}));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

TEST_F(TargetListPanelTest, ScanOfTheLocalSubnetOpensTheRangeDialogOrSaysThereIsNone) {
    trigger("mnuScanLocalIP");
    EXPECT_EQ(prompts.texts(), QStringList({NoLocalNetworkMessage}));
    network.local = "127.0.0.20";
    QStringList shown;
    testing::DialogScript script{[&](QDialog* d) {
        for (const char* box : {"Combo1_0", "Combo1_1", "Combo1_2", "Combo1_3", "Combo2_0",
                                "Combo2_1", "Combo2_2", "Combo2_3"})
            shown << testing::Child<QComboBox>(d, box)->currentText();
        testing::Click(d, "Command2");
    }};
    script.run([&] { trigger("mnuScanLocalIP"); });
    EXPECT_EQ(shown, QStringList({"127", "0", "0", "0", "127", "0", "0", "255"}));
}

class TargetListDefaults : public TargetListWindow {};

// A new data folder gets the default entries of the local network; nothing is run on them.
TEST_F(TargetListDefaults, NewListIsBuiltFromTheLocalNetwork) {
    network.local = "127.0.0.20";
    network.gateway = "127.0.0.1";
    network.dns = {"127.0.0.53", "127.0.0.1"};
    FormTester::Services services{echo,     resolver, clock, prompts,    folder.path() + "/",
                                  &dialogs, &network, {},    &processes, TracertProgram};
    window = std::make_unique<FormTester>(services, QString());
    const QStringList shown = titles();
    ASSERT_EQ(shown.size(), 4 + 13);
    EXPECT_EQ(shown.mid(0, 4),
              QStringList({"127.0.0.1", "127.0.0.53", DefaultPublicHost1, DefaultPublicHost2}));
    EXPECT_EQ(shown[4], QStringLiteral("IP_组群_01"));
    EXPECT_EQ(fileLines().size(), 4 + 13 + 1);
    EXPECT_TRUE(echo.sent.isEmpty());
}

}  // namespace
}  // namespace sondrel
