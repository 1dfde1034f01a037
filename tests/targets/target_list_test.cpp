#include <gtest/gtest.h>

#include "support/file_size_limit.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include <sys/stat.h>

#include "common/text_file.h"
#include "support/fake_local_network.h"
#include "support/recording_prompts.h"
#include "targets/target_list.h"

namespace sondrel {
namespace {

using testing::FakeLocalNetwork;
using testing::RecordingPrompts;

class TargetListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connect();
        network.local = QStringLiteral("10.1.2.3");
        network.gateway = QStringLiteral("10.1.2.1");
        network.dns = {QStringLiteral("10.1.2.1"), QStringLiteral("10.9.9.53")};
    }
    void connect() {
        QObject::connect(&list, &TargetList::listChanged, [this] { ++changes; });
    }
    QString path(const QString& name = TargetListFileName) const { return dir.filePath(name); }
    void writeBytes(const QByteArray& bytes, const QString& name = TargetListFileName) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray readBytes(const QString& name = TargetListFileName) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    FakeLocalNetwork network;
    RecordingPrompts prompts;
    TargetList list{dir.path(), network, prompts};
    int changes = 0;
};

TEST_F(TargetListTest, FirstEmptyLineEndsTheListAndWhatFollowsIsGoneAtTheNextChange) {
    writeBytes(" \r\nAa,10.0.0.1\r\n");
    list.Fill_IP_List_2();
    EXPECT_EQ(list.IPEntries(), QStringList());
    EXPECT_EQ(list.titles(), QStringList());
    EXPECT_EQ(list.traceItems(), QStringList());
    EXPECT_EQ(list.pickItems(), (QStringList{PickListSeparator, PickListAddItem}));
    EXPECT_EQ(changes, 1);

    writeBytes("  Ab,10.0.0.2  \r\n=note\r\nAc,10.0.0.3\r\n\r\nAd,10.0.0.4\r\n");
    list.Fill_IP_List_2();
    EXPECT_EQ(list.IPEntries(), (QStringList{"Ab,10.0.0.2", "Ac,10.0.0.3"}));

    ASSERT_TRUE(list.RewriteList(list.IPEntries() + QStringList{"Ae,10.0.0.5"}));
    EXPECT_EQ(readBytes(), QByteArray("Ab,10.0.0.2\r\nAc,10.0.0.3\r\nAe,10.0.0.5\r\n \r\n"));
    EXPECT_EQ(list.IPEntryCount(), 3);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TargetListTest, SortsByKindLetterThenTitleByCharacterCode) {
    writeBytes("Bz,10.0.0.9\r\nAb,10.0.0.8\r\nCa,10.0.0.1,10.0.0.5\r\nAa,10.0.0.7\r\n \r\n");
    list.Fill_IP_List_2();
    EXPECT_EQ(list.titles(), (QStringList{"a", "b", "z", "a"}));
    EXPECT_EQ(list.IPEntries().first(), QStringLiteral("Aa,10.0.0.7"));
    EXPECT_EQ(list.IPEntries().last(), QStringLiteral("Ca,10.0.0.1,10.0.0.5"));

    QStringList lines{"A中文,1", "Ab,1", "AZ,1", "A1,1", "C0,1,2", "Ba,1"};
    SortIPEntries(lines);
    EXPECT_EQ(lines, (QStringList{"A1,1", "AZ,1", "Ab,1", "A中文,1", "Ba,1", "C0,1,2"}));

    // Only the first 30 characters count: lines equal there keep their order.
    const QString head = QStringLiteral("A") + QString(29, QLatin1Char('x'));
    QStringList equal{head + QStringLiteral("2"), head + QStringLiteral("1"), "A0"};
    SortIPEntries(equal);
    EXPECT_EQ(equal, (QStringList{"A0", head + QStringLiteral("2"), head + QStringLiteral("1")}));
}

TEST_F(TargetListTest, ViewsFollowTheEntryTable) {
    writeBytes(
        "Aweb,www.debian.org\r\nBoffice,10.0.0.1 (printer),10.0.0.2\r\n"
        "Crange,10.0.0.1,10.0.0.9\r\nArouter,10.0.0.254\r\n \r\n");
    list.Fill_IP_List_2();
    EXPECT_EQ(list.titles(), (QStringList{"router", "web", "office", "range"}));
    const QString gap(50, QLatin1Char(' '));
    EXPECT_EQ(list.traceItems(),
              (QStringList{"router" + gap + "0", "web" + gap + "1", "office" + gap + "2"}));
    EXPECT_EQ(TraceItemPosition(list.traceItems()[2]), 2);
    EXPECT_EQ(TraceItemPosition(QStringLiteral("no position")), -1);
    EXPECT_EQ(TraceItemPosition(QStringLiteral("10.0.0.1") + gap + QStringLiteral("12")), 12);
    EXPECT_EQ(list.pickItems(),
              (QStringList{"10.0.0.254", "www.debian.org", PickListSeparator, PickListAddItem}));
    EXPECT_EQ(list.indexOf(QStringLiteral("Aweb,www.debian.org")), 1);
    EXPECT_EQ(list.indexOf(QStringLiteral("Aweb")), -1);
}

TEST_F(TargetListTest, OldFileIsConvertedOnceAndKept) {
    const QByteArray old = "A10.0.0.1\r\n=note\r\nBgrp,10.0.0.2,10.0.0.3\r\n\r\nA10.9.9.9\r\n";
    writeBytes(old, OldTargetListFileName);
    list.Fill_IP_List_2();
    EXPECT_EQ(readBytes(), QByteArray("A10.0.0.1,10.0.0.1\r\n=note\r\nBgrp,10.0.0.2,10.0.0.3\r\n"
                                      " \r\n"));
    EXPECT_EQ(readBytes(OldTargetListFileName), old);
    EXPECT_EQ(list.IPEntries(), (QStringList{"A10.0.0.1,10.0.0.1", "Bgrp,10.0.0.2,10.0.0.3"}));

    // Once the new file exists the old one is not read again, even for an empty list.
    ASSERT_TRUE(list.RewriteList({}));
    EXPECT_EQ(list.IPEntries(), QStringList());
    list.Fill_IP_List_2();
    EXPECT_EQ(list.IPEntries(), QStringList());
    EXPECT_EQ(readBytes(), QByteArray(" \r\n"));
}

TEST_F(TargetListTest, NewListHoldsTheLocalNetworkDefaults) {
    list.Fill_IP_List_2();
    QStringList expected{"A10.1.2.1,10.1.2.1", "A10.9.9.53,10.9.9.53",
                         "Awww.debian.org,www.debian.org", "Awww.kernel.org,www.kernel.org"};
    expected += SubnetEntries(network.local);
    expected += QStringLiteral(" ");
    EXPECT_EQ(ReadTextLines(path()), expected);
    EXPECT_EQ(list.IPEntryCount(), 17);
    EXPECT_EQ(list.titles().first(), QStringLiteral("10.1.2.1"));
    EXPECT_EQ(list.titles().last(), QStringLiteral("IP_范围_11_子网_(225-255)"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TargetListTest, DefaultsWithoutGatewayOrLocalAddress) {
    network.gateway.clear();
    network.dns = {QString(), QStringLiteral("10.1.2.3"), QStringLiteral("10.9.9.53")};
    EXPECT_EQ(DefaultEntries(network).mid(0, 4),
              (QStringList{"A10.1.2.3,10.1.2.3", "A10.9.9.53,10.9.9.53",
                           "Awww.debian.org,www.debian.org", "Awww.kernel.org,www.kernel.org"}));

    network.local.clear();
    network.dns.clear();
    list.Fill_IP_List_2();
    EXPECT_EQ(ReadTextLines(path()), (QStringList{"Awww.debian.org,www.debian.org",
                                                  "Awww.kernel.org,www.kernel.org", " "}));
}

TEST_F(TargetListTest, GbkFileFromTheOldPlatformLoadsItsChineseTitles) {
    QStringEncoder gbk("GB18030");
    ASSERT_TRUE(gbk.isValid());
    const QString text =
        QStringLiteral("A路由器,192.168.1.1\r\nB办公室,192.168.1.2 (打印机)\r\n \r\n");
    const QByteArray bytes = gbk.encode(text);
    writeBytes(bytes);
    list.Fill_IP_List_2();
    EXPECT_EQ(list.titles(), (QStringList{QStringLiteral("路由器"), QStringLiteral("办公室")}));

    // The next change writes it in UTF-8.
    ASSERT_TRUE(list.RewriteList(list.IPEntries()));
    EXPECT_EQ(readBytes(), text.toUtf8());
}

TEST_F(TargetListTest, RewriteKeepsEachEntryOnOneLine) {
    ASSERT_TRUE(list.RewriteList({"Ab,10.0.0.1", "", "   ", "Aa,10.\r\n0.0.2", "Bc,x\ny"}));
    EXPECT_EQ(list.IPEntries(), (QStringList{"Aa,10.0.0.2", "Ab,10.0.0.1", "Bc,xy"}));
    EXPECT_EQ(readBytes(), QByteArray("Ab,10.0.0.1\r\nAa,10.0.0.2\r\nBc,xy\r\n \r\n"));
}

// A write that runs out of room half-way (a file size limit binds root too) leaves the old
// list whole, on disk and in memory.
TEST_F(TargetListTest, InterruptedRewriteLeavesTheOldListWhole) {
    const QByteArray old = "Aold,10.0.0.1\r\n \r\n";
    writeBytes(old);
    list.Fill_IP_List_2();
    const int changesBefore = changes;
    QStringList lines;
    for (int i = 0; i < 5000; ++i)
        lines << QStringLiteral("Aentry%1,10.0.%2.%3").arg(i).arg(i / 256).arg(i % 256);

    QString error;
    bool written = false;
    {
        testing::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        written = list.RewriteList(lines, &error);
    }

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(), old);
    EXPECT_EQ(list.IPEntries(), QStringList{"Aold,10.0.0.1"});
    EXPECT_EQ(changes, changesBefore);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{TargetListFileName});
}

TEST_F(TargetListTest, LoadFailuresAreReportedWithTheLoadsLabel) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(TargetListFileName));  // there, but no file
    list.Fill_IP_List_2();
    EXPECT_EQ(list.IPEntries(), QStringList());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("    Fill_IP_List_2")));
    EXPECT_GT(prompts.shown[0].text.size(), FillListContext.size());
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(list.pickItems(), (QStringList{PickListSeparator, PickListAddItem}));

    // A FIFO in place of the list is refused at once, never waited on.
    prompts.clear();
    QTemporaryDir fifoFolder;
    const QByteArray fifo = QFile::encodeName(fifoFolder.filePath(TargetListFileName));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    TargetList piped(fifoFolder.path(), network, prompts);
    piped.Fill_IP_List_2();
    EXPECT_EQ(piped.IPEntries(), QStringList());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "Not a regular file" + FillListContext);

    prompts.clear();
    TargetList nowhere(dir.filePath(QStringLiteral("missing/folder")), network, prompts);
    nowhere.Fill_IP_List_2();
    EXPECT_EQ(nowhere.IPEntries(), QStringList());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(FillListContext));
}

TEST_F(TargetListTest, TwoListsOnOneFolderSeeEachOthersChanges) {
    list.Fill_IP_List_2();
    RecordingPrompts otherPrompts;
    TargetList other(dir.path(), network, otherPrompts);
    other.Fill_IP_List_2();
    EXPECT_EQ(other.IPEntries(), list.IPEntries());

    ASSERT_TRUE(list.RewriteList(list.IPEntries() + QStringList{"Anew,10.0.0.7"}));
    other.Fill_IP_List_2();
    EXPECT_EQ(other.IPEntries(), list.IPEntries());
    EXPECT_TRUE(otherPrompts.shown.isEmpty());
}

// One list rewrites the file over and over while another reads it: every read sees one whole
// version, never a mixture or a cut-off list.
TEST_F(TargetListTest, ReaderNeverSeesAHalfWrittenList) {
    QStringList first, second;
    for (int i = 0; i < 400; ++i) {
        first << QStringLiteral("Afirst%1,10.1.%2.%3")
                     .arg(i, 3, 10, QLatin1Char('0'))
                     .arg(i / 256)
                     .arg(i % 256);
        second << QStringLiteral("Bsecond%1,10.2.0.1,10.2.0.2").arg(i, 3, 10, QLatin1Char('0'));
    }
    ASSERT_TRUE(list.RewriteList(first));
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    std::atomic<int> rounds{0};
    std::thread writer([&] {
        RecordingPrompts writerPrompts;
        TargetList writerList(dir.path(), network, writerPrompts);
        for (; !stop && rounds < 5000; ++rounds) {
            if (!writerList.RewriteList(rounds % 2 ? first : second))
                ++failures;
        }
    });
    int seenFirst = 0, seenSecond = 0, reads = 0;
    for (; reads < 300 || (rounds < 200 && reads < 100000); ++reads) {
        list.Fill_IP_List_2();
        if (list.IPEntries() == first)
            ++seenFirst;
        else if (list.IPEntries() == second)
            ++seenSecond;
        else
            ADD_FAILURE() << "read " << list.IPEntryCount() << " entries";
    }
    stop = true;
    writer.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(seenFirst + seenSecond, reads);
    EXPECT_GT(seenFirst, 0);
    EXPECT_GT(seenSecond, 0);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(PickedAddressTest, ReplacesTheDottedTokenOrAppends) {
    using Action = PickedAddress::Action;
    const QString item = QStringLiteral("10.0.0.9");
    EXPECT_EQ(InsertPickedAddress(QStringLiteral("ping 10.0.0.1 -t"), item).command,
              QStringLiteral("ping 10.0.0.9 -t"));
    EXPECT_EQ(InsertPickedAddress(QStringLiteral("ping 10.0.0.1 -t"), item).action,
              Action::SetCommand);
    EXPECT_EQ(InsertPickedAddress(QStringLiteral("ipconfig"), item).command,
              QStringLiteral("ipconfig 10.0.0.9"));
    EXPECT_EQ(InsertPickedAddress(QStringLiteral("  www.a.org  "), item).command, item);
    EXPECT_EQ(InsertPickedAddress(QStringLiteral("x 1.2 y 1.2"), item).command,
              QStringLiteral("x 10.0.0.9 y 10.0.0.9"));
    EXPECT_EQ(InsertPickedAddress(QStringLiteral("ping 1.1.1.1"), PickListSeparator).action,
              Action::HidePickList);
    EXPECT_EQ(InsertPickedAddress(QStringLiteral("ping 1.1.1.1"), PickListAddItem).action,
              Action::OpenAddDialog);
}

// Random files load without harm: the entries obey the grammar, the views match them, and a
// rewrite of the entries reads back the same.
TEST_F(TargetListTest, RandomFilesLoadIntoAConsistentList) {
    const QByteArray pieces[] = {"A",        "B",    "C",     ",",  "=",  " ", "  ",
                                 "\r\n",     "\n",   "10.0.", "1",  "(",  ")", "\xE4\xB8\xAD",
                                 "\xD6\xD0", "\xFF", "\0",    "\t", "\r", "x"};
    QRandomGenerator random(20240611);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        const int count = random.bounded(80);
        for (int i = 0; i < count; ++i)
            bytes += pieces[random.bounded(int(std::size(pieces)))];
        writeBytes(bytes);
        list.Fill_IP_List_2();
        const QStringList entries = list.IPEntries();
        QStringList sorted = entries;
        SortIPEntries(sorted);
        ASSERT_EQ(entries, sorted);
        for (const QString& line : entries) {
            ASSERT_FALSE(line.isEmpty());
            ASSERT_FALSE(line.startsWith(QLatin1Char('=')));
            ASSERT_EQ(TrimSpaces(line), line);
        }
        ASSERT_EQ(list.titles().size(), entries.size());
        ASSERT_EQ(list.pickItems().mid(list.pickItems().size() - 2),
                  (QStringList{PickListSeparator, PickListAddItem}));
        ASSERT_TRUE(list.RewriteList(entries));
        QStringList expected;
        for (QString line : entries) {
            line = TrimSpaces(line.remove(QLatin1Char('\r')));
            if (!line.isEmpty() && !line.startsWith(QLatin1Char('=')))
                expected << line;
        }
        SortIPEntries(expected);
        ASSERT_EQ(list.IPEntries(), expected) << bytes.toHex().toStdString();
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

}  // namespace
}  // namespace sondrel
