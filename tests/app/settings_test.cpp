#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/settings.h"
#include "app/settings_binding.h"
#include "engine/test_parameters.h"
#include "support/file_size_limit.h"
#include "support/qt_printers.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

class SettingsStore : public ::testing::Test {
  protected:
    SettingsStore() { qputenv("XDG_CONFIG_HOME", config.path().toUtf8()); }
    ~SettingsStore() override { qunsetenv("XDG_CONFIG_HOME"); }
    void writeByHand(const QByteArray& text) {
        QDir().mkpath(config.path() + "/Sondrel");
        QFile f(Settings::DefaultPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QTemporaryDir config;
};

TEST_F(SettingsStore, LivesInTheUsersConfigFolder) {
    EXPECT_EQ(Settings::DefaultPath(), config.path() + "/Sondrel/Sondrel.conf");
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_TRUE(Settings::DefaultPath().endsWith("/.config/Sondrel/Sondrel.conf"));
}

TEST_F(SettingsStore, AllFourteenRoundTripUnderTheirNames) {
    Settings out;
    const QStringList texts{QStringLiteral("1000 to 0, 10--, 1"),
                            QStringLiteral("512   字节"),
                            QStringLiteral("700 毫秒"),
                            "Continually",
                            QStringLiteral("/home/用户/导出 文件/"),
                            "1",
                            "30",
                            "a b;c",
                            "4000",
                            QStringLiteral("跟踪"),
                            "/tmp/trace=1.txt",
                            "12",
                            "3",
                            "0"};
    for (int i = 0; i < SettingCount; ++i)
        out.setValue(Setting(i), texts[i]);
    EXPECT_TRUE(out.WriteSettings().isEmpty());
    Settings in;
    in.ReadSettings();
    for (int i = 0; i < SettingCount; ++i)
        EXPECT_EQ(in.value(Setting(i)), texts[i]) << i;
    QFile f(Settings::DefaultPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray stored = f.readAll();
    for (const char* name : {"Default_Interval", "Default_Hop_Number", "Default_IfDB"})
        EXPECT_TRUE(stored.contains(name)) << name;
}

TEST_F(SettingsStore, MissingNumbersNulsAndListsReadAsText) {
    Settings empty;
    empty.ReadSettings();
    for (int i = 0; i < SettingCount; ++i)
        EXPECT_TRUE(empty.value(Setting(i)).isEmpty());
    writeByHand(
        "[General]\nDefault_IPQty=5\nDefault_Interval=\"1000 \\0\\0\\x6beb\\x79d2\"\n"
        "Default_Host_List=a, b\n");
    Settings s;
    s.ReadSettings();
    EXPECT_EQ(s.value(Setting::IPQty), "5");
    EXPECT_EQ(s.value(Setting::Interval), QStringLiteral("1000 毫秒"));
    EXPECT_EQ(s.value(Setting::HostList), "a,b");
    EXPECT_EQ(s.value(Setting::IfDB), "");
}

// Files written by builds that stored the settings through QSettings read alike, and what
// is written now still reads alike there.
TEST_F(SettingsStore, StaysCompatibleWithTheFormerFileBothWays) {
    const QStringList texts{QStringLiteral("@x"),
                            QStringLiteral(" 两边 空格 "),
                            "a,b;c=d",
                            "say \"hi\" \\ there",
                            QStringLiteral("\t\x01"
                                           "b"),
                            QStringLiteral("1000 毫秒"),
                            "",
                            "@@"};
    {
        QDir().mkpath(config.path() + "/Sondrel");
        QSettings former(Settings::DefaultPath(), QSettings::IniFormat);
        for (int i = 0; i < texts.size(); ++i)
            former.setValue(SettingName(Setting(i)), texts[i]);
    }
    Settings in;
    in.ReadSettings();
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(in.value(Setting(i)), texts[i]) << i;

    QFile::remove(Settings::DefaultPath());
    EXPECT_TRUE(in.WriteSettings().isEmpty());
    const QSettings former(Settings::DefaultPath(), QSettings::IniFormat);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(former.value(SettingName(Setting(i))).toString(), texts[i]) << i;
    Settings again;
    again.ReadSettings();
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(again.value(Setting(i)), texts[i]) << i;
}

TEST_F(SettingsStore, TypedValuesAreReadAsTheirTextOnly) {
    writeByHand(
        "[General]\nDefault_Path=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10QKeySequence)\n"
        "Default_Buffer=@ByteArray(abc)\r\nDefault_Number = \"quoted\" ; note\r"
        "[Other]\nDefault_IPQty=9\n[general]\nDefault_IfDB=1\n");
    Settings s;
    s.ReadSettings();
    EXPECT_EQ(s.value(Setting::Path), QStringLiteral("@Variant(\x7f\x10QKeySequence)"));
    EXPECT_EQ(s.value(Setting::Buffer), "@ByteArray(abc)");
    EXPECT_EQ(s.value(Setting::Number), "quoted");
    EXPECT_EQ(s.value(Setting::IPQty), "");  // another section
    EXPECT_EQ(s.value(Setting::IfDB), "1");
}

TEST_F(SettingsStore, SaveOnAFullDiskKeepsTheOldFile) {
    Settings first;
    first.setValue(Setting::Interval, "600");
    ASSERT_TRUE(first.WriteSettings().isEmpty());
    QFile f(Settings::DefaultPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    Settings second;
    for (int i = 0; i < SettingCount; ++i)
        second.setValue(Setting(i), QString(200, QLatin1Char('x')));
    QString error;
    {
        testing::FileSizeLimit limit(before.size() + 16);
        ASSERT_TRUE(limit.active());
        error = second.WriteSettings();
    }
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(config.path() + "/Sondrel").entryList(QDir::Files | QDir::Hidden),
              QStringList{"Sondrel.conf"});
    Settings reread;
    reread.ReadSettings();
    EXPECT_EQ(reread.value(Setting::Interval), "600");
}

TEST_F(SettingsStore, UnwritableFolderIsReported) {
    writeByHand("");
    QFile::remove(Settings::DefaultPath());
    QDir().rmdir(config.path() + "/Sondrel");
    QFile blocker(config.path() + "/Sondrel");  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Settings s;
    s.setValue(Setting::Interval, "600");
    EXPECT_FALSE(s.WriteSettings().isEmpty());
}

}  // namespace
}  // namespace sondrel

namespace sondrel {
namespace {

using testing::RecordingPrompts;

TEST_F(SettingsStore, StoredBoxTextsApplyThroughTheBoxesAndComeBackWhenSaved) {
    RecordingPrompts prompts;
    CancellingDialogs dialogs;
    TestParameters params(prompts, dialogs);
    params.FillParameterLists();
    Settings stored;
    stored.setValue(Setting::Interval, QStringLiteral("2000 毫秒"));
    stored.setValue(Setting::Number, "abc");  // refused by the box's own handling
    stored.setValue(Setting::RepeatIP, "3");
    stored.setValue(Setting::HopNumber, "30");
    ApplyParameterSettings(stored, params);
    EXPECT_EQ(params.text(ParameterBox::Interval), QStringLiteral("2000 毫秒"));
    EXPECT_EQ(params.text(ParameterBox::Size), QStringLiteral("32  字节"));  // empty: default
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Inalid 试验次数。")});
    EXPECT_EQ(params.text(ParameterBox::RepIP), "3");

    SessionFacts facts;
    facts.runningActivity = Activity::Ping;
    facts.targetCount = 4;
    facts.checkDB = false;
    CaptureCurrentSettings(stored, params, facts);
    EXPECT_EQ(stored.value(Setting::Interval), QStringLiteral("2000 毫秒"));
    EXPECT_EQ(stored.value(Setting::Buffer), QStringLiteral("32  字节"));
    EXPECT_EQ(stored.value(Setting::HopNumber), "30");  // no trace controls yet: kept as read
    EXPECT_EQ(stored.value(Setting::CmdType), QStringLiteral("侦测"));
    EXPECT_EQ(stored.value(Setting::IPQty), "4");
    EXPECT_EQ(stored.value(Setting::IfDB), "0");
}

TEST_F(SettingsStore, CheckStatesAndStartPage) {
    Settings s;
    EXPECT_FALSE(StoredCheck(s, Setting::IfDB).has_value());
    s.setValue(Setting::IfDB, "1");
    EXPECT_EQ(StoredCheck(s, Setting::IfDB), true);
    s.setValue(Setting::IfDB, "0");
    EXPECT_EQ(StoredCheck(s, Setting::IfDB), false);
    EXPECT_FALSE(StartsOnTracePage(s));
    s.setValue(Setting::CmdType, QStringLiteral("跟踪"));
    EXPECT_TRUE(StartsOnTracePage(s));
    s.setValue(Setting::CmdType, QStringLiteral("跟踪 "));
    EXPECT_FALSE(StartsOnTracePage(s));
}

}  // namespace
}  // namespace sondrel
