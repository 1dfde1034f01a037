#include <gtest/gtest.h>

#include <unistd.h>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "app/data_folder.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

using testing::RecordingPrompts;

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QString& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(AppendBackslashTest, AppendsTheSeparatorOnce) {
    EXPECT_EQ(AppendBackslash(QStringLiteral("/home/u")), QStringLiteral("/home/u/"));
    EXPECT_EQ(AppendBackslash(QStringLiteral("/home/u/")), QStringLiteral("/home/u/"));
    EXPECT_EQ(AppendBackslash(QString()), QStringLiteral("/"));
}

class DataFolderTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    RecordingPrompts prompts;
};

TEST_F(DataFolderTest, CreatedWithMissingParentsInXdgDataHome) {
    const QString base = dir.filePath(QStringLiteral("fresh/数据/share"));
    ScopedEnv xdg("XDG_DATA_HOME", base);
    const QString expected = base + QStringLiteral("/SondrelDataBas/");

    EXPECT_EQ(LocateDataFolder(prompts), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(QFileInfo(expected).permissions() & QFile::ReadOther, QFile::Permissions());
    EXPECT_EQ(LocateDataFolder(prompts), expected);  // the second start finds it
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(DataFolderTest, FallsBackToTheHomeFolderWhenXdgIsUnsetOrRelative) {
    ScopedEnv home("HOME", dir.path());
    for (const QString& value : {QString(), QStringLiteral("relative/share")}) {
        ScopedEnv xdg("XDG_DATA_HOME", value);
        EXPECT_EQ(LocateDataFolder(prompts),
                  dir.path() + QStringLiteral("/.local/share/SondrelDataBas/"));
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_FALSE(QDir(QStringLiteral("relative")).exists());
}

TEST_F(DataFolderTest, UsesTheProgramFolderWhenTheFolderCannotBeMade) {
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString ownFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/");

    {
        ScopedEnv xdg("XDG_DATA_HOME", dir.filePath(QStringLiteral("blocker/share")));
        EXPECT_EQ(LocateDataFolder(prompts), ownFolder);
    }
    QDir(dir.path()).mkdir(QStringLiteral("share"));
    QFile inTheWay(dir.filePath(QStringLiteral("share/SondrelDataBas")));
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    {
        ScopedEnv xdg("XDG_DATA_HOME", dir.filePath(QStringLiteral("share")));
        EXPECT_EQ(LocateDataFolder(prompts), ownFolder);
    }
    ASSERT_EQ(prompts.shown.size(), 2);
    for (const RecordingPrompts::Shown& shown : prompts.shown) {
        EXPECT_EQ(shown.icon, MessageIcon::None);
        EXPECT_FALSE(shown.question);
        EXPECT_FALSE(shown.text.isEmpty());
    }
    EXPECT_TRUE(prompts.shown[1].text.contains(QStringLiteral("SondrelDataBas")));
}

}  // namespace
}  // namespace sondrel

namespace sondrel {
namespace {

TEST(DataFolderWriting, ProblemsAreNamed) {
    QTemporaryDir dir;
    EXPECT_TRUE(DataFolderWriteProblem(dir.path()).isEmpty());
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());  // the check leaves nothing behind
    EXPECT_TRUE(DataFolderWriteProblem(dir.path() + "/missing")
                    .startsWith(QStringLiteral("数据文件夹不可写入：")));
}

// A data folder the user cannot write is reported once, and the program still runs.
TEST(DataFolderWriting, UnwritableFolderIsReportedOnceAndTheProgramGoesOn) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run the program as another user";
    QTemporaryDir home;
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    ASSERT_TRUE(QDir(home.path()).mkdir("SondrelDataBas"));  // owned by root, 0755
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", home.path() + "/runtime");
    program.setProcessEnvironment(env);
    program.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                              QStringLiteral(SONDREL_BINARY_DIR "/src/sondrel"), "--console",
                              "10.0.0.300;10;32;100;1;1"});
    ASSERT_TRUE(program.waitForFinished(30000));
    const QString err = QString::fromUtf8(program.readAllStandardError());
    EXPECT_EQ(err.count(QStringLiteral("数据文件夹不可写入")), 1) << err.toStdString();
    EXPECT_NE(program.exitCode(), 0);
}

}  // namespace
}  // namespace sondrel
