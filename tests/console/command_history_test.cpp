#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/text_file.h"
#include "console/command_history.h"
#include "console/console_presets.h"
#include "support/file_size_limit.h"
#include "support/qt_printers.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

class CommandHistoryTest : public ::testing::Test {
  protected:
    CommandHistoryTest() { history.LoadCommandHistory(); }
    QStringList fileLines() const { return ReadTextLines(history.filePath()); }
    // A history of commands c1 ... cN, newest last.
    void fill(int count) {
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << QStringLiteral("c%1").arg(i);
        ASSERT_TRUE(WriteTextFileAtomically(history.filePath(), lines << " ", nullptr));
        history.LoadCommandHistory();
    }

    QTemporaryDir folder;
    testing::RecordingPrompts prompts;
    CommandHistory history{folder.path(), prompts};
};

TEST_F(CommandHistoryTest, FirstStartWritesTheDefaultHistoryAndDuplicatesAreNotAdded) {
    EXPECT_EQ(history.lines().size(), 11);
    EXPECT_EQ(history.lines(), DefaultHistory());
    EXPECT_EQ(fileLines(), DefaultHistory() << " ");
    EXPECT_EQ(PresetCommands().size(), 18);
    EXPECT_FALSE(history.AddCommandToHistory("  hostname "));  // already there
    EXPECT_FALSE(history.AddCommandToHistory("   "));
    EXPECT_TRUE(history.AddCommandToHistory("  ip route "));
    EXPECT_EQ(fileLines().mid(11), QStringList({"ip route", " "}));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(CommandHistoryTest, KeepLastKeepsTheNewestInFileOrder) {
    fill(4);
    prompts.answer = true;
    EXPECT_TRUE(history.KeepLastHistory(10));
    EXPECT_EQ(history.lines(), QStringList({"c1", "c2", "c3", "c4"}));
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("确实要删除所有除最后10记录吗？"));
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("删除历史记录"));
    fill(25);
    prompts.answer = true;
    EXPECT_TRUE(history.KeepLastHistory(10));
    EXPECT_EQ(history.lines().first(), "c16");
    EXPECT_EQ(history.lines().last(), "c25");
    EXPECT_EQ(history.lines().size(), 10);
    prompts.answer = false;
    EXPECT_FALSE(history.KeepLastHistory(5));
    EXPECT_EQ(history.lines().size(), 10);
}

TEST_F(CommandHistoryTest, DeletingSelectedAndAllAsksFirstAndAnEmptiedFileStaysEmpty) {
    EXPECT_FALSE(history.DeleteSelectedHistory({}));
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("请选择您想删除的历史记录。"));
    prompts.answer = true;
    EXPECT_TRUE(history.DeleteSelectedHistory({"hostname", "ss -tuna"}));
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("确实要删除2入围项目吗？"));
    EXPECT_EQ(history.lines().size(), 9);
    EXPECT_FALSE(history.lines().contains("hostname"));
    prompts.answer = true;
    EXPECT_TRUE(history.ClearHistory());
    EXPECT_TRUE(history.lines().isEmpty());
    CommandHistory restarted(folder.path(), prompts);
    restarted.LoadCommandHistory();
    EXPECT_TRUE(restarted.lines().isEmpty());  // the defaults do not come back
}

// Sorted by the first 30 characters; a change shows file order but keeps the flag, so the next
// click shows file order again.
TEST_F(CommandHistoryTest, SortTogglesAndAChangeKeepsTheFlag) {
    fill(0);
    for (const char* c : {"zz", "aa", "mm"})
        history.AddCommandToHistory(c);
    history.ToggleHistoryOrder();
    EXPECT_TRUE(history.sorted());
    EXPECT_EQ(history.display(), QStringList({"aa", "mm", "zz"}));
    EXPECT_EQ(history.lines(), QStringList({"zz", "aa", "mm"}));
    history.AddCommandToHistory("bb");
    EXPECT_EQ(history.display(), QStringList({"zz", "aa", "mm", "bb"}));
    history.ToggleHistoryOrder();
    EXPECT_FALSE(history.sorted());
    EXPECT_EQ(history.display(), QStringList({"zz", "aa", "mm", "bb"}));
}

TEST_F(CommandHistoryTest, AFailedRewriteLeavesTheOldFileWhole) {
    const QStringList before = fileLines();
    {
        testing::FileSizeLimit limit(16);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(history.AddCommandToHistory("a command long enough to pass the limit"));
    }
    EXPECT_EQ(fileLines(), before);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith("   Dos Add"));
    EXPECT_EQ(history.lines(), DefaultHistory());
}

}  // namespace
}  // namespace sondrel
