#include "console/class_dos.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "console/command_words.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

using testing::RecordingPrompts;

// Runs a line and records every chunk with its size in bytes.
struct Recorded {
    QString returned;
    QStringList chunks;
    QList<qsizetype> bytes;
};

Recorded RunLine(ClassDos& dos, const QString& line) {
    Recorded out;
    QObject::connect(&dos, &ClassDos::ReceiveOutputs, &dos, [&out](QString& chunk) {
        out.chunks << chunk;
        out.bytes << chunk.toUtf8().size();
    });
    out.returned = dos.ExecuteCommand(line);
    return out;
}

TEST(CommandWords, SplitsLikeTheShellWithoutExpanding) {
    EXPECT_EQ(SplitCommandWords(QStringLiteral("  cat   /proc/net/arp ")),
              QStringList({"cat", "/proc/net/arp"}));
    EXPECT_EQ(SplitCommandWords(QStringLiteral(R"(sh -c 'echo $HOME; ls' "a \"b\" \$c" d\ e)")),
              QStringList({"sh", "-c", "echo $HOME; ls", R"(a "b" $c)", "d e"}));
    EXPECT_EQ(SplitCommandWords(QStringLiteral(R"(x "" '' "a\nb")")),
              QStringList({"x", "", "", R"(a\nb)"}));
    EXPECT_EQ(SplitCommandWords(QStringLiteral("a'b c'd")), QStringList({"ab cd"}));
    EXPECT_EQ(SplitCommandWords(QString()), QStringList());
}

TEST(CommandWords, RefusesAnOpenQuoteOrATrailingBackslash) {
    EXPECT_FALSE(SplitCommandWords(QStringLiteral("echo 'abc")));
    EXPECT_FALSE(SplitCommandWords(QStringLiteral("echo \"abc")));
    EXPECT_FALSE(SplitCommandWords(QStringLiteral("echo abc\\")));
}

TEST(ClassDos, DeliversAtMost256BytesPerChunkThenAnEmptyOne) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    // One write of 600 bytes, so the three reads find it all in the pipe.
    const Recorded run = RunLine(dos, QStringLiteral("sh -c \"printf '%0600d' 0\""));
    EXPECT_EQ(run.bytes, QList<qsizetype>({256, 256, 88, 0}));
    EXPECT_EQ(run.returned, QString(600, u'0'));
    EXPECT_EQ(dos.导出().toString(), run.returned);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(ClassDos, MergesStandardErrorInWritingOrder) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    const Recorded run = RunLine(dos, QStringLiteral("sh -c 'echo one; echo two >&2; echo three'"));
    EXPECT_EQ(run.returned, QStringLiteral("one\ntwo\nthree\n"));
    EXPECT_EQ(run.chunks.last(), QString());
}

TEST(ClassDos, ACommandPrintingNothingGivesOneEmptyChunk) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    dos.setCommandLine(QStringLiteral("true"));
    const Recorded run = RunLine(dos, QString());
    EXPECT_EQ(run.chunks, QStringList({QString()}));
    EXPECT_EQ(run.returned, QString());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(ClassDos, FailuresToStartShowTheirMessageAndRaiseNoEvent) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    Recorded run = RunLine(dos, QString());
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("空命令行")}));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);

    prompts.clear();
    run = RunLine(dos, QStringLiteral("/nonexistent/program-sondrel --x"));
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("找不到文件或命令")}));
    EXPECT_TRUE(run.chunks.isEmpty());
    EXPECT_EQ(run.returned, QString());
    // The argument replaced the command line although nothing started.
    EXPECT_EQ(dos.CommandLine(), QStringLiteral("/nonexistent/program-sondrel --x"));

    prompts.clear();
    run = RunLine(dos, QStringLiteral("echo 'unbalanced"));
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("找不到文件或命令")}));
    EXPECT_TRUE(run.chunks.isEmpty());
}

TEST(ClassDos, ABackgroundChildHoldingThePipeKeepsTheRunGoing) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    const Recorded run =
        RunLine(dos, QStringLiteral("sh -c '(sleep 0.3; echo late) & echo early'"));
    EXPECT_EQ(run.returned, QStringLiteral("early\nlate\n"));
}

TEST(ClassDos, CarriesAMultiByteCharacterSplitAcrossTwoReads) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    // 255 bytes, then a three-byte character whose first byte ends the first read.
    const Recorded run = RunLine(dos, QStringLiteral("sh -c \"printf '%0255d中文' 0\""));
    ASSERT_GE(run.chunks.size(), 2);
    EXPECT_EQ(run.chunks[0], QString(255, u'0'));
    EXPECT_EQ(run.returned, QString(255, u'0') + QStringLiteral("中文"));
    EXPECT_FALSE(run.returned.contains(QChar::ReplacementCharacter));
}

TEST(ClassDos, EndsAChildThatOutlivesTheTimeLimit) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    dos.setTimeLimitMs(200);
    const Recorded run = RunLine(dos, QStringLiteral("sh -c 'echo started; exec sleep 30'"));
    EXPECT_EQ(run.returned, QStringLiteral("started\n"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("命令运行超过")));
    EXPECT_EQ(run.chunks.last(), QString());
}

TEST(ClassDos, BoundsTheCollectedOutput) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    dos.setOutputLimitBytes(100'000);
    const Recorded run = RunLine(dos, QStringLiteral("sh -c 'exec yes'"));
    EXPECT_LE(run.returned.size(), 100'000 + ClassDos::ReadBytes);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("命令输出超过")));
}

TEST(ClassDos, TakesTenMegabytesWhole) {
    RecordingPrompts prompts;
    ClassDos dos(prompts);
    const Recorded run = RunLine(dos, QStringLiteral("head -c 10000000 /dev/zero"));
    EXPECT_EQ(run.returned.size(), 10'000'000);
    EXPECT_TRUE(prompts.shown.isEmpty());
    for (const qsizetype size : run.bytes)
        ASSERT_LE(size, ClassDos::ReadBytes);
}

TEST(ClassDos, AListenerMayStartAnotherRunOnANewInstance) {
    RecordingPrompts prompts;
    ClassDos outer(prompts);
    QString inner;
    bool started = false;
    QObject::connect(&outer, &ClassDos::ReceiveOutputs, &outer, [&](QString&) {
        if (started)
            return;
        started = true;
        ClassDos second(prompts);
        inner = second.ExecuteCommand(QStringLiteral("echo inner"));
    });
    EXPECT_EQ(outer.ExecuteCommand(QStringLiteral("echo outer")), QStringLiteral("outer\n"));
    EXPECT_EQ(inner, QStringLiteral("inner\n"));
}

}  // namespace
}  // namespace sondrel
