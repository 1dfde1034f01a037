#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/text_file.h"
#include "report/export_frame.h"
#include "report/fake_file_dialogs.h"
#include "report/list_copies.h"
#include "support/qt_printers.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ListCopiesTest : public ::testing::Test {
  protected:
    QString listPath() const { return folder.filePath("Quibbet_DB1.txt"); }
    QString historyPath() const { return folder.filePath("Quibbet_DB2.txt"); }

    QTemporaryDir folder;
    testing::RecordingPrompts prompts;
    testing::FakeFileDialogs dialogs;
    QString lastFolder;
    ExportFrame frame{
        prompts,
        dialogs,
        {[this] { return lastFolder; }, [this](const QString& f) { lastFolder = f; }}};
    int targetReloads = 0;
    int historyReloads = 0;
    ListCopies copies{frame,
                      {listPath(), [this] { ++targetReloads; }},
                      {historyPath(), [this] { ++historyReloads; }},
                      [] { return QDateTime(QDate(2026, 12, 8), QTime(9, 5)); }};
};

// Out: the list byte for byte (an old GBK list stays GBK); an existing file is replaced only
// after Yes.
TEST_F(ListCopiesTest, ExportCopiesTheBytesAndAsksBeforeReplacing) {
    const QByteArray gbk = "A\xb2\xe2\xca\xd4,127.0.0.1\r\n \r\n";
    Write(listPath(), gbk);
    dialogs.savePath = folder.filePath("out.txt");
    copies.ExportTargetList();
    EXPECT_EQ(dialogs.asked.mid(0, 1), QStringList{QStringLiteral("将 IP 列表导出到此文件")});
    EXPECT_TRUE(dialogs.asked.contains(QStringLiteral("IP_列表_202612080905")));
    EXPECT_EQ(Bytes(dialogs.savePath), gbk);
    EXPECT_EQ(prompts.shown.last().text,
              QStringLiteral("IP 列表已导出到文件：") + dialogs.savePath);

    Write(dialogs.savePath, "keep me");
    prompts.answer = false;
    copies.ExportTargetList();
    EXPECT_EQ(prompts.shown.last().text, OverwriteQuestion);
    EXPECT_EQ(Bytes(dialogs.savePath), "keep me");
}

TEST_F(ListCopiesTest, ImportReplacesTheListAndReloadsIt) {
    const QString chosen = folder.filePath("in.txt");
    Write(chosen, "ANew,127.0.0.9\r\n \r\n");
    dialogs.openPath = chosen;
    copies.ImportTargetList();  // no list yet: no question
    EXPECT_EQ(Bytes(listPath()), Bytes(chosen));
    EXPECT_EQ(targetReloads, 1);
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("已导入 IP 列表"));

    Write(historyPath(), "ls\r\n \r\n");
    prompts.answer = false;
    copies.ImportCommandHistory();
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("覆盖当前 DOS 命令历史记录吗？"));
    EXPECT_EQ(Bytes(historyPath()), "ls\r\n \r\n");
    EXPECT_EQ(historyReloads, 0);

    dialogs.openPath = folder.filePath("gone.txt");
    copies.ImportTargetList();
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("找不到该文件。"));
    EXPECT_EQ(prompts.shown.last().title, QStringLiteral("文件名错误"));
}

// A binary file is refused before any question, and the list stays as it was.
TEST_F(ListCopiesTest, ABinaryFileIsRefusedAndTheListKept) {
    Write(listPath(), "AOld,127.0.0.1\r\n \r\n");
    const QString binary = folder.filePath("big.bin");
    {
        QFile file(binary);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(50 << 20));  // 50 MB of zero bytes
    }
    dialogs.openPath = binary;
    prompts.answer = true;
    copies.ImportTargetList();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_FALSE(prompts.shown[0].question);
    EXPECT_TRUE(prompts.shown[0].text.contains(QStringLiteral("不是文本文件")));
    EXPECT_EQ(Bytes(listPath()), "AOld,127.0.0.1\r\n \r\n");
    EXPECT_EQ(targetReloads, 0);
}

}  // namespace
}  // namespace sondrel
