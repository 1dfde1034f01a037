#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/spin.h"

#include <signal.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

#include "common/process_runner.h"

namespace sondrel {
namespace {

using testing::spinUntil;

// Collects what one child reports.
struct Observed {
    QList<QByteArray> chunks;
    int ends = 0;
    bool chunkAfterEnd = false;
    ProcessEnd end;

    ProcessOptions chunked(int maxBytes = 256) {
        ProcessOptions options;
        options.output = ProcessOptions::Output::Chunks;
        options.maxChunkBytes = maxBytes;
        options.onChunk = [this](const QByteArray& chunk) {
            chunkAfterEnd = chunkAfterEnd || ends > 0;
            chunks.append(chunk);
        };
        options.onEnd = [this](const ProcessEnd& how) {
            ++ends;
            end = how;
        };
        return options;
    }
    QByteArray joined() const { return chunks.join(); }
};

// A process that has gone (or is a zombie waiting for its new parent to reap it).
bool ProcessGone(qint64 pid) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0)
        return errno == ESRCH;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) == "Z";
}

class ProcessRunnerTest : public ::testing::Test {
  protected:
    std::unique_ptr<ChildProcess> runToEnd(const QStringList& shellArgs, Observed& seen) {
        auto child = runner.start("/bin/sh", shellArgs, seen.chunked());
        EXPECT_TRUE(spinUntil([&] { return seen.ends > 0; }));
        return child;
    }
    SystemProcessRunner runner;
    QTemporaryDir dir;
};

TEST_F(ProcessRunnerTest, AppendsMergedOutputToTheFileAndKeepsWhatWasThere) {
    const QString path = dir.filePath("trace.txt");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("earlier run\n");
    }
    Observed seen;
    ProcessOptions options;
    options.output = ProcessOptions::Output::AppendToFile;
    options.outputFile = path;
    options.onEnd = seen.chunked().onEnd;
    for (const char* word : {"one", "two"}) {
        seen.ends = 0;
        auto child = runner.start(
            "/bin/sh", {"-c", QStringLiteral("echo %1-out; echo %1-err >&2; exit 3").arg(word)},
            options);
        ASSERT_TRUE(spinUntil([&] { return seen.ends == 1; }));
        EXPECT_TRUE(child->hasEnded());
        EXPECT_FALSE(child->isRunning());
        EXPECT_TRUE(seen.end.exitedWith(3));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("earlier run\none-out\none-err\ntwo-out\ntwo-err\n"));
}

TEST_F(ProcessRunnerTest, ChunksStayWithinTheLimitAndJoinToTheMergedOutput) {
    // 1,000 lines of ten bytes on stdout, then one line on stderr.
    const QString script = QStringLiteral(
        "i=0; while [ $i -lt 1000 ]; do printf '%09d\\n' $i; i=$((i+1)); done;"
        " echo last >&2; exit 7");
    QByteArray expected;
    for (int i = 0; i < 1000; ++i)
        expected += QByteArray::number(i).rightJustified(9, '0') + '\n';
    expected += "last\n";

    Observed seen;
    auto child = runToEnd({"-c", script}, seen);
    EXPECT_EQ(seen.joined().size(), 10'005);
    EXPECT_EQ(seen.joined(), expected);
    for (const QByteArray& chunk : seen.chunks) {
        EXPECT_GE(chunk.size(), 1);
        EXPECT_LE(chunk.size(), 256);
    }
    EXPECT_FALSE(seen.chunkAfterEnd);
    EXPECT_EQ(seen.ends, 1);
    EXPECT_TRUE(seen.end.exitedWith(7));
    EXPECT_EQ(child->pid(), 0);

    Observed small;
    auto tiny = runner.start("/bin/echo", {"abcdefg"}, small.chunked(3));
    ASSERT_TRUE(spinUntil([&] { return small.ends > 0; }));
    EXPECT_EQ(small.joined(), "abcdefg\n");
    for (const QByteArray& chunk : small.chunks)
        EXPECT_LE(chunk.size(), 3);
}

TEST_F(ProcessRunnerTest, ArgumentsReachTheProgramAsGivenWithoutAShell) {
    Observed seen;
    const QString tricky = QStringLiteral("a b \"c\" 'd' $HOME;`true` *");
    auto child =
        runner.start("/bin/sh", {"-c", "printf '%s|' \"$#\" \"$1\"", "sh", tricky}, seen.chunked());
    ASSERT_TRUE(spinUntil([&] { return seen.ends > 0; }));
    EXPECT_EQ(QString::fromUtf8(seen.joined()), QStringLiteral("1|") + tricky + "|");

    Observed cat;
    auto echo = runner.start("/bin/echo", {"two  spaces", ""}, cat.chunked());
    ASSERT_TRUE(spinUntil([&] { return cat.ends > 0; }));
    EXPECT_EQ(cat.joined(), "two  spaces \n");
}

TEST_F(ProcessRunnerTest, RunsInTheGivenFolderWithTheExtraEnvironment) {
    Observed seen;
    ProcessOptions options = seen.chunked();
    options.workingDirectory = dir.path();
    options.extraEnvironment = {{"SONDREL_PROBE", "on"}};
    options.pathPrefix = {"/opt/first", "/opt/second"};
    auto child = runner.start(
        "/bin/sh", {"-c", "pwd; echo \"$SONDREL_PROBE\"; echo \"$PATH\" | cut -d: -f1-3"}, options);
    ASSERT_TRUE(spinUntil([&] { return seen.ends > 0; }));
    const QString path = qEnvironmentVariable("PATH").section(':', 0, 0);
    EXPECT_EQ(QString::fromUtf8(seen.joined()),
              QDir(dir.path()).canonicalPath() + "\non\n/opt/first:/opt/second:" + path + "\n");
}

TEST_F(ProcessRunnerTest, KillEndsTheWholeProcessGroup) {
    Observed seen;
    auto child = runner.start("/bin/sh", {"-c", "sleep 30 & echo $!; wait"}, seen.chunked());
    ASSERT_TRUE(spinUntil([&] { return seen.joined().endsWith('\n'); }));
    const qint64 grandchild = seen.joined().trimmed().toLongLong();
    ASSERT_GT(grandchild, 0);
    const qint64 pid = child->pid();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(child->isRunning());
    EXPECT_EQ(::getpgid(static_cast<pid_t>(pid)), pid);  // a group of its own
    EXPECT_EQ(::getpgid(static_cast<pid_t>(grandchild)), pid);
    EXPECT_NE(::getpgid(0), pid);

    child->kill();
    ASSERT_TRUE(spinUntil([&] { return seen.ends > 0; }));
    EXPECT_EQ(seen.end.status, ProcessEnd::Status::Crashed);
    EXPECT_TRUE(spinUntil([&] { return ProcessGone(grandchild); }));
    EXPECT_TRUE(ProcessGone(pid));

    // Dropping a running child kills it too, and nothing is reported afterwards.
    Observed dropped;
    auto sleeper = runner.start("/bin/sleep", {"30"}, dropped.chunked());
    ASSERT_TRUE(spinUntil([&] { return sleeper->pid() > 0; }));
    const qint64 sleeperPid = sleeper->pid();
    sleeper.reset();
    EXPECT_TRUE(spinUntil([&] { return ProcessGone(sleeperPid); }));
    spinUntil([] { return false; }, 50);
    EXPECT_EQ(dropped.ends, 0);
}

TEST_F(ProcessRunnerTest, AProgramThatCannotStartSaysSoFromTheEventLoop) {
    Observed seen;
    const QString missing = dir.filePath("no-such-program");
    auto child = runner.start(missing, {"x"}, seen.chunked());
    EXPECT_EQ(seen.ends, 0);  // never from inside start()
    ASSERT_TRUE(spinUntil([&] { return seen.ends > 0; }));
    EXPECT_EQ(seen.end.status, ProcessEnd::Status::FailedToStart);
    EXPECT_TRUE(seen.end.error.contains(missing)) << seen.end.error.toStdString();
    EXPECT_TRUE(child->hasEnded());
    EXPECT_FALSE(child->isRunning());
    EXPECT_EQ(child->pid(), 0);
    child->kill();  // harmless

    Observed unwritable;
    ProcessOptions options;
    options.output = ProcessOptions::Output::AppendToFile;
    options.outputFile = dir.filePath("missing-folder/out.txt");
    options.onEnd = unwritable.chunked().onEnd;
    auto echo = runner.start("/bin/echo", {"hi"}, options);
    ASSERT_TRUE(spinUntil([&] { return unwritable.ends > 0; }));
    EXPECT_EQ(unwritable.end.status, ProcessEnd::Status::FailedToStart);
    spinUntil([] { return false; }, 50);
    EXPECT_EQ(seen.ends, 1);
    EXPECT_EQ(unwritable.ends, 1);
}

TEST_F(ProcessRunnerTest, HandsCapNetRawOnAsAnAmbientCapability) {
    if (!HoldsNetRawPermitted())
        GTEST_SKIP() << "this test process does not hold CAP_NET_RAW; run it as root to check "
                        "the hand-over";
    Observed seen;
    auto child = runToEnd({"-c", "grep CapAmb /proc/self/status"}, seen);
    const QByteArray line = seen.joined().trimmed();
    ASSERT_TRUE(line.startsWith("CapAmb:")) << line.toStdString();
    bool ok = false;
    const quint64 ambient = line.mid(7).trimmed().toULongLong(&ok, 16);
    ASSERT_TRUE(ok) << line.toStdString();
    EXPECT_TRUE(ambient & (quint64(1) << 13)) << line.toStdString();
}

// The fake used by the subsystems' tests.
TEST(FakeProcessRunnerTest, PlaysScriptsOnTheClockAndRecordsStartsAndKills) {
    testing::FakeClock clock;
    testing::FakeProcessRunner runner(clock);
    runner.addScript(testing::FakeProcessScript()
                         .write(100, QByteArray(300, 'a'))
                         .write(250, "b")
                         .exitAt(250, 2));
    runner.addScript(testing::FakeProcessScript().write(10, "never").exitAt(5000, 0));
    testing::FakeProcessScript failing;
    failing.failToStart = true;
    runner.addScript(failing);

    Observed first, second, third;
    ProcessOptions options = first.chunked(200);
    options.workingDirectory = "/tmp";
    auto a = runner.start("tracert", {"127.0.0.1"}, options);
    auto b = runner.start("tracert", {"127.0.0.2"}, second.chunked());
    auto c = runner.start("missing", {}, third.chunked());
    ASSERT_EQ(runner.starts().size(), 3u);
    EXPECT_EQ(runner.starts()[0].arguments, QStringList{"127.0.0.1"});
    EXPECT_EQ(runner.starts()[0].options.workingDirectory, "/tmp");
    EXPECT_EQ(runner.runningCount(), 3);

    clock.advance(5);
    EXPECT_EQ(third.end.status, ProcessEnd::Status::FailedToStart);
    b->kill();
    clock.advance(1);
    EXPECT_EQ(second.end.status, ProcessEnd::Status::Crashed);
    EXPECT_TRUE(second.chunks.isEmpty());
    EXPECT_EQ(runner.killCount(), 1);
    EXPECT_TRUE(runner.starts()[1].killed);

    clock.advance(94);
    EXPECT_EQ(first.chunks, (QList<QByteArray>{QByteArray(200, 'a'), QByteArray(100, 'a')}));
    EXPECT_TRUE(a->isRunning());
    clock.advance(150);
    EXPECT_EQ(first.chunks.size(), 3);
    EXPECT_EQ(first.chunks.last(), "b");
    EXPECT_TRUE(first.end.exitedWith(2));
    EXPECT_FALSE(first.chunkAfterEnd);
    EXPECT_EQ(runner.runningCount(), 0);
    clock.runUntilIdle();
    EXPECT_EQ(first.ends + second.ends + third.ends, 3);
}

}  // namespace
}  // namespace sondrel
