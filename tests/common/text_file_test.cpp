#include <gtest/gtest.h>

#include "support/file_size_limit.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "common/text_file.h"

namespace sondrel {
namespace {

class TextFileTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    void writeBytes(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray readBytes(const QString& name) {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir;
};

TEST_F(TextFileTest, ReadsCrLfAndLfLinesAndKeepsALastLineWithoutEnd) {
    writeBytes("mixed.txt", "Aa,10.0.0.1\r\n\r\nBb,x\n  C \r\nlast");
    bool ok = false;
    EXPECT_EQ(ReadTextLines(path("mixed.txt"), &ok),
              (QStringList{"Aa,10.0.0.1", "", "Bb,x", "  C ", "last"}));
    EXPECT_TRUE(ok);

    writeBytes("ended.txt", "one\r\n \r\n");
    EXPECT_EQ(ReadTextLines(path("ended.txt")), (QStringList{"one", " "}));
    writeBytes("empty.txt", "");
    EXPECT_EQ(ReadTextLines(path("empty.txt"), &ok), QStringList());
    EXPECT_TRUE(ok);
}

TEST_F(TextFileTest, MissingFileReportsFailure) {
    bool ok = true;
    EXPECT_EQ(ReadTextLines(path("nothing.txt"), &ok), QStringList());
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadTextLines(dir.path(), &ok), QStringList());  // a folder is no text file
    EXPECT_FALSE(ok);
}

TEST_F(TextFileTest, ReadsUtf8WithOrWithoutByteOrderMarkAndGbkFiles) {
    const QString chinese = QStringLiteral("添加一个 IP / URL");
    writeBytes("utf8.txt", chinese.toUtf8() + "\r\n己选定");
    EXPECT_EQ(ReadTextLines(path("utf8.txt")), (QStringList{chinese, QStringLiteral("己选定")}));
    writeBytes("bom.txt", "\xEF\xBB\xBF" + chinese.toUtf8());
    EXPECT_EQ(ReadTextLines(path("bom.txt")), QStringList{chinese});

    QStringEncoder gbk("GB18030");
    ASSERT_TRUE(gbk.isValid());
    const QStringList lines{QStringLiteral("B办公室,192.168.1.1 (打印机)"), QStringLiteral("当前")};
    const QByteArray bytes = gbk.encode(lines.join(QStringLiteral("\r\n")));
    ASSERT_NE(bytes, lines.join(QStringLiteral("\r\n")).toUtf8());
    writeBytes("gbk.txt", bytes);
    EXPECT_EQ(ReadTextLines(path("gbk.txt")), lines);
}

TEST_F(TextFileTest, LoneCrEndsALineToo) {
    writeBytes("cr.txt", "Aa,1\rBb,2\r\rCc,3\r");
    EXPECT_EQ(ReadTextLines(path("cr.txt")), (QStringList{"Aa,1", "Bb,2", "", "Cc,3"}));
    writeBytes("mixed.txt", "a\rb\r\nc\n\rd");
    EXPECT_EQ(ReadTextLines(path("mixed.txt")), (QStringList{"a", "b", "c", "", "d"}));
}

// A hand-edited list may hold one GBK line among UTF-8 ones; each line keeps its own coding.
TEST_F(TextFileTest, DecodesEveryLineOnItsOwn) {
    QStringEncoder gbk("GB18030");
    ASSERT_TRUE(gbk.isValid());
    const QString utf8Title = QStringLiteral("A办公室,10.0.0.1");
    const QString gbkTitle = QStringLiteral("B打印机,10.0.0.2");
    const QByteArray gbkBytes = gbk.encode(gbkTitle);
    writeBytes("mixed.txt", "\xEF\xBB\xBF" + utf8Title.toUtf8() + "\r\n" + gbkBytes + "\r\n" +
                                QStringLiteral("当前").toUtf8() + "\n");
    EXPECT_EQ(ReadTextLines(path("mixed.txt")),
              (QStringList{utf8Title, gbkTitle, QStringLiteral("当前")}));
}

// Only regular files are read: nothing here may block, abort or read without end.
TEST_F(TextFileTest, OtherKindsOfFileAndHugeFilesAreUnreadable) {
    const QByteArray fifo = QFile::encodeName(path("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero.txt")));
    for (const QString& name : {path("fifo"), path("zero.txt"), QStringLiteral("/dev/null")}) {
        bool ok = true;
        EXPECT_EQ(ReadTextLines(name, &ok), QStringList()) << qPrintable(name);
        EXPECT_FALSE(ok) << qPrintable(name);
        EXPECT_FALSE(TrimmedLineReader(name).isOpen()) << qPrintable(name);
    }

    QFile huge(path("huge.txt"));  // sparse: takes no room on disk
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(MaxTextFileSize + 1));
    huge.close();
    bool ok = true;
    EXPECT_EQ(ReadTextLines(path("huge.txt"), &ok), QStringList());
    EXPECT_FALSE(ok);
    ASSERT_TRUE(QFile::resize(path("huge.txt"), MaxTextFileSize));
    EXPECT_EQ(ReadTextLines(path("huge.txt"), &ok).size(), 1);  // one line of NULs
    EXPECT_TRUE(ok);
}

TEST(TrimSpacesTest, RemovesOnlySpaces) {
    EXPECT_EQ(TrimSpaces(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(TrimSpaces(QStringLiteral("\t a \t")), QStringLiteral("\t a \t"));
    EXPECT_EQ(TrimSpaces(QStringLiteral("    ")), QString());
    EXPECT_EQ(TrimSpaces(QString()), QString());
}

TEST_F(TextFileTest, WritesUtf8WithCrLfAfterEveryLineAndReplacesTheFile) {
    writeBytes("list.txt", "old content that is longer than the new one\r\n");
    QString error;
    ASSERT_TRUE(WriteTextFileAtomically(path("list.txt"), {QStringLiteral("Aa,中"), " "}, &error))
        << qPrintable(error);
    EXPECT_EQ(readBytes("list.txt"), QStringLiteral("Aa,中\r\n \r\n").toUtf8());
    EXPECT_EQ(ReadTextLines(path("list.txt")), (QStringList{"Aa,中", " "}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.txt"});

    ASSERT_TRUE(WriteTextFileAtomically(path("list.txt"), {}, nullptr));
    EXPECT_EQ(readBytes("list.txt"), QByteArray());
}

TEST_F(TextFileTest, FailedWriteReportsAndLeavesNoFile) {
    QString error;
    EXPECT_FALSE(WriteTextFileAtomically(path("missing/list.txt"), {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());

    writeBytes("blocker", "not a folder");
    error.clear();
    EXPECT_FALSE(WriteTextFileAtomically(path("blocker/list.txt"), {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes("blocker"), QByteArray("not a folder"));
}

// A write that runs out of room half-way (here: a file size limit, which also binds root)
// must leave the old file whole.
TEST_F(TextFileTest, WriteThatRunsOutOfRoomKeepsTheOldFile) {
    writeBytes("list.txt", "Aold,10.0.0.1\r\n \r\n");
    QStringList lines;
    for (int i = 0; i < 5000; ++i)
        lines << QStringLiteral("Aentry%1,10.0.%2.%3").arg(i).arg(i / 256).arg(i % 256);

    QString error;
    bool written = false;
    {
        testing::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        written = WriteTextFileAtomically(path("list.txt"), lines, &error);
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG)));  // the system's own reason
    EXPECT_EQ(readBytes("list.txt"), QByteArray("Aold,10.0.0.1\r\n \r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.txt"});
}

TEST_F(TextFileTest, RewriteKeepsPermissionsAndReplacesTheTargetOfALink) {
    writeBytes("list.txt", "old\r\n");
    ASSERT_TRUE(QFile::setPermissions(path("list.txt"), QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(path("list.txt"), path("link.txt")));
    ASSERT_TRUE(WriteTextFileAtomically(path("link.txt"), {"new"}, nullptr));
    EXPECT_TRUE(QFileInfo(path("link.txt")).isSymLink());
    EXPECT_EQ(readBytes("list.txt"), QByteArray("new\r\n"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path("list.txt")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(TextFileTest, TrimmedLineReaderHandsOutTrimmedLinesThenEmpty) {
    writeBytes("list.txt", "  Aa,10.0.0.1  \r\n=note\r\n \r\n after\r\n");
    TrimmedLineReader reader(path("list.txt"));
    EXPECT_TRUE(reader.isOpen());
    EXPECT_EQ(ReadTrimmedLine(reader), QStringLiteral("Aa,10.0.0.1"));
    EXPECT_EQ(ReadTrimmedLine(reader), QStringLiteral("=note"));
    EXPECT_EQ(ReadTrimmedLine(reader), QString());
    EXPECT_EQ(ReadTrimmedLine(reader), QStringLiteral("after"));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(ReadTrimmedLine(reader), QString());
    EXPECT_EQ(ReadTrimmedLine(reader), QString());

    TrimmedLineReader missing(path("nothing.txt"));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_TRUE(missing.atEnd());
    EXPECT_EQ(ReadTrimmedLine(missing), QString());

    TrimmedLineReader fromLines(QStringList{" x "});
    EXPECT_EQ(ReadTrimmedLine(fromLines), QStringLiteral("x"));
}

}  // namespace
}  // namespace sondrel
