#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/settings.h"
#include "support/qt_printers.h"

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
