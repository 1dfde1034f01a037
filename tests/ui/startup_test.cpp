#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/data_folder.h"
#include "app/settings.h"
#include "app/ui/form_tester.h"
#include "engine/ping_test.h"
#include "engine/test_parameters.h"
#include "window_driver.h"

namespace sondrel {
namespace {

// The load after the window is shown: stored settings, database set-up, start page, previous
// results and the command line, in that order; and the settings saved when the window closes.
class StartupTest : public testing::WindowTest {
  protected:
    StartupTest() { settingsPath = config.path() + "/Sondrel.conf"; }
    void store(const QList<std::pair<Setting, QString>>& values) {
        Settings s(settingsPath);
        for (const auto& [setting, text] : values)
            s.setValue(setting, text);
        ASSERT_TRUE(s.WriteSettings().isEmpty());
    }
    QString stored(Setting setting) {
        Settings s(settingsPath);
        s.ReadSettings();
        return s.value(setting);
    }
    void writeDbSetup() {
        QFile f(folder.path() + "/" + DbSetupFileName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("1\r\n/tmp/SondrelDB.mdb\r\n\r\nPingLogTable\r\n");
    }
    QCheckBox* checkDB() { return find<QCheckBox>("CheckDB"); }

    QTemporaryDir config;
};

TEST_F(StartupTest, CommandLineSeesTheListAndOverridesTheSettings) {
    writeList({"ALoopC,127.0.0.3", "ALoopA,127.0.0.1", "ALoopB,127.0.0.2"});
    store({{Setting::Interval, QStringLiteral("2000 毫秒")},
           {Setting::RepeatIP, "3"},
           {Setting::Number, "8"}});
    open(QStringLiteral("/0//2/;100 毫秒;32  字节;500 毫秒;2;1"));
    window->LoadAfterShow();
    EXPECT_EQ(window->parameters().text(ParameterBox::Interval), QStringLiteral("100 毫秒"));
    EXPECT_EQ(window->parameters().text(ParameterBox::RepIP), "1");
    clock.runUntilIdle();
    EXPECT_EQ(echo.sentAddresses(),
              QStringList({"127.0.0.1", "127.0.0.3", "127.0.0.1", "127.0.0.3"}));
}

TEST_F(StartupTest, StoredSettingsApplyWithoutACommandLine) {
    store({{Setting::Interval, QStringLiteral("2000 毫秒")},
           {Setting::Number, "8"},
           {Setting::Buffer, ""}});
    open();
    window->LoadAfterShow();
    EXPECT_EQ(window->parameters().text(ParameterBox::Interval), QStringLiteral("2000 毫秒"));
    EXPECT_EQ(window->parameters().text(ParameterBox::Times), "8");
    EXPECT_EQ(window->parameters().text(ParameterBox::Size), QStringLiteral("32  字节"));
    EXPECT_TRUE(echo.sent.isEmpty());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(StartupTest, LoggingBoxEndsClearWithoutADatabaseSetUp) {
    store({{Setting::IfDB, "1"}});
    open();
    window->LoadAfterShow();
    EXPECT_FALSE(checkDB()->isChecked());
    EXPECT_TRUE(prompts.shown.isEmpty());  // no dialog, no message
}

TEST_F(StartupTest, PreviousResultsAreOfferedOnlyWithADatabaseSetUp) {
    QFile log(folder.path() + "/Quibbet_DB3.txt");
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("1,1,1\r\n2010,05,03,14,22,07,127.0.0.1,32,15,64,0\r\n");
    log.close();
    open();
    window->LoadAfterShow();
    EXPECT_NE(window->pingTest().statusLine(), QStringLiteral("上一个侦测测试结果"));

    writeDbSetup();
    store({{Setting::IfDB, "1"}});
    open();
    window->LoadAfterShow();
    EXPECT_TRUE(checkDB()->isChecked());
    EXPECT_EQ(window->pingTest().statusLine(), QStringLiteral("上一个侦测测试结果"));
    EXPECT_EQ(window->pingTest().statistics().sentCount, 1);
}

TEST_F(StartupTest, StoredKindOfLastRunChoosesThePage) {
    store({{Setting::CmdType, QStringLiteral("跟踪")}});
    open();
    window->LoadAfterShow();
    EXPECT_TRUE(find("Frame1_2")->isVisible());
    EXPECT_FALSE(find("Frame1_1")->isVisible());

    store({{Setting::CmdType, QStringLiteral("侦测")}});
    open();
    window->LoadAfterShow();
    EXPECT_TRUE(find("Frame1_1")->isVisible());
    EXPECT_FALSE(find("Frame1_2")->isVisible());
}

TEST_F(StartupTest, CloseSavesTheSettingsAndExitDoesNot) {
    open();
    window->LoadAfterShow();
    window->parameters().setText(ParameterBox::Interval, QStringLiteral("2000 毫秒"));
    bool ended = false;
    QObject::connect(window.get(), &FormTester::programEndRequested, [&] { ended = true; });
    window->findChild<QAction*>("mnuExit")->trigger();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(QFile::exists(settingsPath));

    window->close();
    EXPECT_EQ(stored(Setting::Interval), QStringLiteral("2000 毫秒"));
    EXPECT_EQ(stored(Setting::Buffer), QStringLiteral("32  字节"));
    EXPECT_EQ(stored(Setting::IfDB), "0");
}

// First start on a fresh account: the data folder with the default list, the default history
// and the scan worker appear, nothing else; a second start writes nothing new. The scan's
// report socket lives in the runtime folder.
TEST(FirstStart, WritesOnlyTheDataFolderTheDefaultListAndTheDefaultHistory) {
    QTemporaryDir home;
    QTemporaryDir runtime;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    testing::RecordingPrompts prompts;
    testing::FakeClock clock;
    testing::FakeEcho echo(clock);
    testing::FakeResolver resolver;
    CancellingDialogs dialogs;
    testing::FakeLocalNetwork network;
    network.local = "192.168.7.5";
    network.gateway = "192.168.7.1";
    network.dns = {"192.168.7.1", "192.168.7.2"};
    const auto start = [&] {
        const QString folder = LocateDataFolder(prompts);
        FormTester window({echo, resolver, clock, prompts, folder, &dialogs, &network, {}}, {});
        window.show();
        window.LoadAfterShow();
        return folder;
    };
    const QString folder = start();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(folder, home.path() + "/SondrelDataBas/");
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"SondrelDataBas"});
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Kestrune2008112.exe", "Quibbet_DB1.txt", "Quibbet_DB2.txt"}));
    QFile list(folder + "Quibbet_DB1.txt");
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray first = list.readAll();
    list.close();
    EXPECT_TRUE(first.startsWith("A192.168.7.1,192.168.7.1\r\nA192.168.7.2,192.168.7.2\r\n"));
    const QDateTime written = QFileInfo(list).lastModified();

    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    start();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Kestrune2008112.exe", "Quibbet_DB1.txt", "Quibbet_DB2.txt"}));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), first);
    EXPECT_EQ(QFileInfo(list).lastModified(), written);
    EXPECT_TRUE(prompts.shown.isEmpty());
    if (savedRuntime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

}  // namespace
}  // namespace sondrel
