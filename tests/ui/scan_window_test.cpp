// The address scan in the window, over the fake clock and the fake process runner: workers
// never run, their reports are sent to the window's report socket as a worker sends them.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolButton>
#include <cstring>

#include "app/ui/main_menu.h"
#include "app/ui/scan_page.h"
#include "scan/scan_report_socket.h"
#include "scan/scan_run.h"
#include "scan/scanner_program.h"
#include "support/spin.h"
#include "target_list_driver.h"

namespace sondrel::testing {
namespace {

const QString Range5 = QStringLiteral("CFive,127.0.0.1,127.0.0.5");

// The datagram of one report: kind, byte count, the text with its zero byte.
QByteArray ReportDatagram(const QString& text, qint32 kind = ScanReportKind) {
    const QByteArray bytes = text.toUtf8() + '\0';
    const qint32 count = qint32(bytes.size());
    QByteArray datagram(reinterpret_cast<const char*>(&kind), 4);
    datagram += QByteArray(reinterpret_cast<const char*>(&count), 4);
    return datagram + bytes;
}

// Selects the box's text and types over it.
void Retype(QDialog* dialog, const QString& name, const QString& text) {
    QWidget* box = Child(dialog, name);
    box->setFocus(Qt::OtherFocusReason);
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
    QApplication::sendEvent(dialog->focusWidget(), &selectAll);
    TypeAtFocus(dialog, text);
}

class ScanWindowTest : public TargetListWindow {
  protected:
    ScanPage& page() const { return *window->findChild<ScanPage*>(QStringLiteral("ScanPage")); }
    QString cell(const char* column, int row) const {
        return find<QLabel>(QStringLiteral("%1_%2").arg(QLatin1String(column)).arg(row))->text();
    }
    QColor colour(int row) const {
        return find<QLabel>(QStringLiteral("sMS_%1").arg(row))->palette().color(QPalette::Window);
    }
    QString text(const char* name) const {
        if (auto* box = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return box->text();
        return find<QLabel>(QString::fromLatin1(name))->text();
    }
    bool shown(const char* name) const { return find(QString::fromLatin1(name))->isVisible(); }
    // Sends each report through the window's socket and waits until all have arrived.
    void report(const QStringList& texts) {
        const int before = received_;
        const QByteArray path = QFile::encodeName(page().reportSocket().path());
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
        for (const QString& t : texts) {
            const QByteArray d = ReportDatagram(t);
            ASSERT_EQ(::sendto(fd, d.constData(), size_t(d.size()), 0,
                               reinterpret_cast<const sockaddr*>(&address), sizeof address),
                      d.size());
        }
        ::close(fd);
        received_ = before + int(texts.size());
        const QString awaited =
            QStringLiteral("扫描...") +
            QString::number(qsizetype(page().run().ScanResults().size()) - received_);
        ASSERT_TRUE(spinUntil([&] { return page().run().text2() == awaited; }))
            << page().run().text2().toStdString();
    }
    void startOnRange(int rows = 5) {
        writeList({Range5.left(Range5.size() - 1) + QString::number(rows)});
        open();
        listIP()->setCurrentRow(0);
        listIP()->item(0)->setSelected(true);
        ClickOn(button("Command8"));
    }
    int received_ = 0;
};

TEST_F(ScanWindowTest, RangeScanShowsItsRowsColoursAndTotalsAndFinishesOnTheSecondOk) {
    startOnRange();
    EXPECT_TRUE(shown("Picture3"));
    EXPECT_FALSE(shown("Picture2"));
    EXPECT_TRUE(window->runState().activityBusy());
    EXPECT_FALSE(enabled("Command8"));
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(shown(qPrintable(QStringLiteral("CmdShowScan_%1").arg(i))));
    clock.advance(60);
    ASSERT_EQ(processes.starts().size(), 5u);
    const QString pid = QString::number(QCoreApplication::applicationPid());
    EXPECT_EQ(processes.starts()[2].program, folder.path() + "/" + ScannerProgramName);
    EXPECT_TRUE(QFileInfo(processes.starts()[2].program).isExecutable());
    EXPECT_EQ(processes.starts()[2].arguments, QStringList{pid + ",127.0.0.3,2,,,,,350"});
    // The tick after each start draws the rows started before it.
    EXPECT_EQ(cell("sMS", 3), QStringLiteral("侦测 ..."));
    EXPECT_EQ(colour(3), QColor(192, 192, 192));
    EXPECT_EQ(cell("ssIP", 4), "");
    EXPECT_EQ(text("LabelTotal"), "5");

    report({"1,0,64,,", "3,2,64,gamma,00-1A-2B-3C-4D-5E", "0,无效", "2,无效"});
    EXPECT_EQ(text("Text2"), QStringLiteral("扫描...1"));
    report({"4,无效"});
    clock.advance(500);
    EXPECT_EQ(text("Text2"), "OK");
    EXPECT_TRUE(window->runState().activityBusy());
    const char* numbers[] = {"1.", "2.", "3.", "4.", "5."};
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(cell("ssTYPE", row), numbers[row]);
    EXPECT_EQ(cell("ssIP", 3), "127.0.0.4");
    EXPECT_EQ(cell("sMS", 1), "0 ms");
    EXPECT_EQ(cell("sMS", 0), QStringLiteral("无效"));
    EXPECT_EQ(cell("sHOST", 3), "gamma");
    EXPECT_EQ(cell("sMAC", 3), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(cell("sTTL", 3), "64");
    EXPECT_EQ(colour(1), QColor(192, 192, 255));
    EXPECT_EQ(colour(0), QColor(128, 128, 128));
    EXPECT_EQ(colour(5), QColor(64, 64, 64));
    EXPECT_EQ(text("LabelActive"), "2");
    EXPECT_EQ(text("LabelInactive"), "3");
    EXPECT_EQ(text("LabelSeparator"), "/");

    clock.advance(500);  // the first tick that sees "OK"
    EXPECT_TRUE(window->runState().activityBusy());
    clock.advance(500);  // the second
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_TRUE(enabled("Command8"));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(shown(qPrintable(QStringLiteral("CmdShowScan_%1").arg(i))));
    EXPECT_EQ(page().run().ScanResultsKept().size(), 5u);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join("|").toStdString();
}

TEST_F(ScanWindowTest, ViewsFilterTheRowsAndTheNewGroupTakesTheActiveAddresses) {
    startOnRange();
    clock.advance(60);
    report({"0,无效", "1,3,64,beta,", "2,无效", "3,1,64,,", "4,无效"});
    clock.advance(1500);
    ASSERT_FALSE(window->runState().activityBusy());

    ClickOn(button("CmdShowScan_1"));
    EXPECT_TRUE(find("Text402")->hasFocus());
    EXPECT_EQ(cell("ssIP", 0), "127.0.0.2");
    EXPECT_EQ(cell("ssIP", 1), "127.0.0.4");
    EXPECT_EQ(cell("ssIP", 2), "");
    EXPECT_EQ(text("LabelInactive"), "3");  // the totals stay those of the whole scan
    ClickOn(button("CmdShowScan_2"));
    EXPECT_EQ(cell("ssIP", 2), "127.0.0.5");
    EXPECT_EQ(cell("sMS", 2), QStringLiteral("无效"));

    ClickOn(button("CmdShowScan_0"));
    QString members;
    DialogScript script{[&](QDialog* d) {
        members = Child<QPlainTextEdit>(d, "TextIPs")->toPlainText();
        EXPECT_EQ(Child<QLineEdit>(d, "TextTittle")->text(), "IP_Group_");
        Click(d, "Command2");
    }};
    script.run([&] { trigger("mnuAddG2Active"); });
    EXPECT_EQ(members, QStringLiteral("127.0.0.2 (beta)\n127.0.0.4"));
}

TEST_F(ScanWindowTest, TheViewWithoutRowsSaysSoWhenAGroupIsAsked) {
    startOnRange(2);
    clock.advance(60);
    report({"0,1,64,,", "1,1,64,,"});
    clock.advance(1500);
    ClickOn(button("CmdShowScan_2"));
    EXPECT_EQ(cell("ssIP", 0), "");
    EXPECT_EQ(find<QScrollBar>("VScroll2")->maximum(), 0);
    trigger("mnuAddG2Inactive");
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("无要添加的 IP。")});
    prompts.shown.clear();
    ClickOn(button("CmdShowScan_0"));
    trigger("mnuAddG2Inactive");
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("否 非活动要添加的 IP 地址...")});
}

TEST_F(ScanWindowTest, ThirtyRowsFollowTheNewestUntilTheOperatorScrolls) {
    writeList({"CThirty,127.0.0.1,127.0.0.30"});
    open();
    listIP()->setCurrentRow(0);
    listIP()->item(0)->setSelected(true);
    find<QAction>("mnuIpscanner")->trigger();
    clock.advance(200);  // 20 workers started
    auto* bar = find<QScrollBar>("VScroll2");
    EXPECT_EQ(bar->maximum(), 19);
    EXPECT_EQ(bar->value(), 19);
    clock.advance(300);  // the tick at 500 ms, after the last start
    EXPECT_EQ(bar->maximum(), 29);
    EXPECT_EQ(bar->minimum(), 20);
    EXPECT_EQ(cell("ssTYPE", 20), "30.");
    bar->setValue(24);  // the operator
    clock.advance(500);
    EXPECT_EQ(bar->value(), 24);
    EXPECT_EQ(cell("ssTYPE", 0), "5.");
    EXPECT_EQ(cell("ssTYPE", 20), "25.");
}

TEST_F(ScanWindowTest, StopWithTheScanPaneInFrontEndsTheScanAfterTheStopTicks) {
    startOnRange();
    clock.advance(25);
    ClickOn(button("CommandStop"));
    clock.advance(100);
    EXPECT_EQ(processes.starts().size(), 3u);
    EXPECT_EQ(text("LabelTotal"), "3");
    report({"0,无效"});
    clock.advance(14950);  // the third stop tick, not yet the finishing scan tick
    EXPECT_FALSE(window->runState().activityBusy());
    EXPECT_FALSE(shown("CmdShowScan_0"));
    // A ping test started now keeps its busy state through the scan's finish.
    ClickOn(button("Image1"));
    typeTarget("127.0.0.1");
    testing::PressReturn(find("TextPing"));
    ASSERT_TRUE(window->runState().activityBusy());
    clock.advance(600);
    EXPECT_TRUE(page().run().finished());
    EXPECT_FALSE(find("CmdShowScan_0")->isHidden());
    EXPECT_EQ(cell("sMS", 1), QStringLiteral("侦测 ..."));
    EXPECT_TRUE(window->runState().activityBusy());
    clock.advance(5000);
    EXPECT_TRUE(window->runState().activityBusy());
}

TEST_F(ScanWindowTest, AScanIsRefusedWhileAPingTestRuns) {
    open();
    typeTarget("127.0.0.1");
    testing::PressReturn(find("TextPing"));
    ASSERT_TRUE(window->runState().activityBusy());
    find<QAction>("mnuIpscanner")->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("首先请单击停止按钮停止测试。")});
    EXPECT_TRUE(processes.starts().empty());
    EXPECT_FALSE(shown("Picture3"));
}

TEST_F(ScanWindowTest, TheImagesSwitchBetweenTheResultsAndTheScanPane) {
    open();
    ClickOn(button("Image2"));
    EXPECT_TRUE(shown("Picture3"));
    EXPECT_FALSE(shown("Picture2"));
    ClickOn(button("Image1"));
    EXPECT_FALSE(shown("Picture3"));
    EXPECT_TRUE(shown("Picture2"));
}

TEST_F(ScanWindowTest, TheRangeDialogScansItsRangeWithoutSavingIt) {
    open();
    DialogScript script{[&](QDialog* d) {
        for (int i = 0; i < 4; ++i) {
            Retype(d, QStringLiteral("Combo1_%1").arg(i), i == 0 ? "127" : i == 3 ? "7" : "0");
            Retype(d, QStringLiteral("Combo2_%1").arg(i), i == 0 ? "127" : i == 3 ? "8" : "0");
        }
        Click(d, "Command4");
    }};
    script.run([&] { trigger("munAddR"); });
    clock.advance(60);
    ASSERT_EQ(processes.starts().size(), 2u);
    EXPECT_TRUE(processes.starts()[1].arguments.at(0).contains(",127.0.0.8,1,"));
    EXPECT_TRUE(window->targetList().manual().range.isEmpty());
    EXPECT_EQ(entries().size(), 0) << entries().join("|").toStdString();
}

}  // namespace
}  // namespace sondrel::testing
