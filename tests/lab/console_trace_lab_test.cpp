// The program's console route trace (`sondrel --trace`) run inside the client of the lab with
// two routers: how many tracert processes run at once, the stop, and the reload of the output
// files at the next start. Every target is a black-holed address behind the routers, so the
// traces take their time-outs and never leave the lab.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "lab/lab_fixture.h"
#include "lab/tracert_lab.h"
#include "support/fake_clock.h"
#include "support/fake_echo.h"
#include "support/fake_process_runner.h"
#include "support/recording_prompts.h"
#include "trace/trace_run.h"

namespace sondrel::lab {
namespace {

const QString Sondrel = QStringLiteral(SONDREL_BINARY_DIR "/src/sondrel");
const QString Tracert = QStringLiteral(SONDREL_BINARY_DIR "/src/tracert");

// Black-holed by far: gate and core answer, every hop after them times out.
QString silentAddress(int n) {
    return QStringLiteral("10.203.8.%1").arg(n);
}

// A process as /proc shows it.
struct ProcessInfo {
    QString name;
    char state = '?';
    qint64 parent = 0;
};

std::optional<ProcessInfo> readProcess(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray stat = file.readAll();
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    const qsizetype open = stat.indexOf('('), close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return std::nullopt;
    const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
    if (rest.size() < 2 || rest[0].isEmpty())
        return std::nullopt;
    return ProcessInfo{QString::fromUtf8(stat.mid(open + 1, close - open - 1)), rest[0].at(0),
                       rest[1].toLongLong()};
}

// The tracert children of `parent` (unreaped ones too), each with its last argument, the
// target; empty when it could no longer be read.
std::map<qint64, QString> tracertChildren(qint64 parent) {
    std::map<qint64, QString> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        const std::optional<ProcessInfo> info = readProcess(pid);
        if (!info || info->parent != parent || info->name != QLatin1String("tracert"))
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        QString target;
        if (cmdline.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> arguments = cmdline.readAll().split('\0');
            for (const QByteArray& argument : arguments)
                target = argument.isEmpty() ? target : QString::fromUtf8(argument);
        }
        children[pid] = target;
    }
    return children;
}

// True when the process is gone or only waits to be reaped.
bool endedProcess(qint64 pid) {
    const std::optional<ProcessInfo> info = readProcess(pid);
    return !info || info->state == 'Z';
}

class ConsoleTraceLab : public LabFixture<::testing::Test, TracertLab> {
  protected:
    void SetUp() override {
        LabFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const QString& binary : {Sondrel, Tracert})
            ASSERT_TRUE(QFileInfo(binary).isExecutable()) << binary.toStdString() << " missing";
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir().mkpath(home.path() + "/runtime"));
        ::chmod(QFile::encodeName(home.path() + "/runtime").constData(), 0700);
    }
    // A test that failed half-way: the program's own stop kills its traces, a kill does not.
    void TearDown() override {
        if (program.state() == QProcess::NotRunning)
            return;
        program.terminate();
        if (!program.waitForFinished(TraceStopWaitMs + 3000)) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    // The list file of this test's own data folder: one group entry of the targets.
    void writeGroup(const QStringList& addresses) {
        const QString folder = home.path() + "/data/SondrelDataBas";
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile list(folder + "/Quibbet_DB1.txt");
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(("BLab," + addresses.join(',') + "\r\n \r\n").toUtf8());
    }
    QString tempFolder() const { return home.path() + "/data/SondrelDataBas/温度"; }

    // Starts `sondrel --trace TEXT` in the client; `ip netns exec` becomes the program, so the
    // process id is the program's.
    void start(const QString& text) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.path() + "/data");
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", home.path() + "/runtime");
        program.setProcessEnvironment(env);
        program.start("ip", {"netns", "exec", lab().name(TracertLab::Node::Client), Sondrel,
                             "--trace", text});
        ASSERT_TRUE(program.waitForStarted(10000));
        program.closeWriteChannel();
    }
    // Waits for the end; the output lines, or nothing when it did not end in time.
    std::optional<QStringList> finish(int timeoutMs) {
        if (program.state() != QProcess::NotRunning)
            program.waitForFinished(timeoutMs);
        if (program.state() != QProcess::NotRunning || program.exitStatus() != QProcess::NormalExit)
            return std::nullopt;
        QStringList lines = QString::fromUtf8(program.readAllStandardOutput()).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    QString err() { return QString::fromUtf8(program.readAllStandardError()); }

    QTemporaryDir home;
    QProcess program;
};

// The lines one finished silent trace prints: the header block, gate and core, the time-outs,
// the dated closing line.
void expectSilentTrace(const QStringList& lines, int number, const QString& target, int hops) {
    const QString where = QStringLiteral("target %1").arg(number);
    ASSERT_EQ(lines.size(), 3 + hops + 2) << where.toStdString();
    EXPECT_EQ(lines.mid(0, 3),
              QStringList({QString(),
                           QStringLiteral("通过最多 %1 个跃点(%2） 跟踪到 %3 的路由:")
                               .arg(hops)
                               .arg(number)
                               .arg(target),
                           QString()}));
    EXPECT_TRUE(QRegularExpression(R"(^1 .* 10\.203\.1\.1$)").match(lines[3]).hasMatch())
        << lines[3].toStdString();
    EXPECT_TRUE(QRegularExpression(R"(^2 .* 10\.203\.2\.2$)").match(lines[4]).hasMatch())
        << lines[4].toStdString();
    for (int hop = 3; hop <= hops; ++hop)
        EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^%1 +\* +\* +\* +请求超时。$)").arg(hop))
                        .match(lines[2 + hop])
                        .hasMatch())
            << lines[2 + hop].toStdString();
    EXPECT_EQ(lines[3 + hops], QString());
    EXPECT_TRUE(
        lines[4 + hops].startsWith(QStringLiteral("(%1） 跟踪完成。      从  ").arg(number)))
        << lines[4 + hops].toStdString();
}

// 100 targets: 64 traces start at once, each of the rest only when an earlier one has ended,
// and every target's lines come out in one block, in target order.
TEST_F(ConsoleTraceLab, AHundredTargetsRunAtMostSixtyFourAtOnceAndPrintInOrder) {
    constexpr int Count = 100, Hops = 5;
    QStringList targets;
    for (int n = 1; n <= Count; ++n)
        targets << silentAddress(n);
    writeGroup(targets);
    // Each trace lasts a time-out and a half poll past it, so its end never meets a poll.
    ASSERT_NO_FATAL_FAILURE(start(QStringLiteral("/0/;%1;;1500;0").arg(Hops)));
    const qint64 pid = program.processId();

    struct Seen {
        QString target;
        int first = 0;  // sample numbers
        int last = 0;
    };
    std::map<qint64, Seen> seen;
    int samples = 0;
    size_t peak = 0;
    QElapsedTimer clock;
    clock.start();
    while (!program.waitForFinished(10) && clock.elapsed() < 30000) {
        const std::map<qint64, QString> now = tracertChildren(pid);
        ++samples;
        peak = std::max(peak, now.size());
        for (const auto& [child, target] : now) {
            auto [it, added] = seen.try_emplace(child, Seen{target, samples, samples});
            it->second.last = samples;
            if (it->second.target.isEmpty())
                it->second.target = target;
        }
    }
    const std::optional<QStringList> out = finish(1000);
    ASSERT_TRUE(out) << "no end within 30 s";
    EXPECT_EQ(program.exitCode(), 0) << err().toStdString();

    EXPECT_EQ(peak, size_t(TraceRunLimit));
    ASSERT_EQ(seen.size(), size_t(Count));
    // Which target each started trace had, and how many traces had ended when it was first
    // seen: none for the first 64, at least one more for each later one.
    std::set<QString> traced;
    for (const auto& [child, one] : seen) {
        const qsizetype index = targets.indexOf(one.target);
        ASSERT_GE(index, 0) << one.target.toStdString();
        traced.insert(one.target);
        qsizetype endedBefore = 0;
        for (const auto& [other, earlier] : seen)
            endedBefore += earlier.last < one.first ? 1 : 0;
        EXPECT_GE(endedBefore, index - TraceRunLimit + 1)
            << "target " << index << " started with " << endedBefore << " traces ended";
        if (index < TraceRunLimit) {
            EXPECT_EQ(endedBefore, 0) << "target " << index << " was not in the first wave";
        }
    }
    EXPECT_EQ(traced.size(), size_t(Count));
    EXPECT_EQ(QDir(tempFolder()).entryList(QDir::Files).size(), Count);

    constexpr int PerTarget = 3 + Hops + 2;
    ASSERT_EQ(out->size(), 1 + Count * PerTarget + 1) << out->join('\n').toStdString();
    EXPECT_EQ(out->first(), QStringLiteral("跟踪路径到100 主机 ..."));
    for (int n = 1; n <= Count; ++n)
        expectSilentTrace(out->mid(1 + (n - 1) * PerTarget, PerTarget), n, targets[n - 1], Hops);
    EXPECT_EQ(out->last(), QStringLiteral("跟踪路径到100 主机.       全部完成."));
}

// A stop while two traces wait for long time-outs: both process groups are killed at once, the
// program exits 1 after the stop's wait, and the output files keep what was written.
TEST_F(ConsoleTraceLab, StopKillsTheRunningTracesAndKeepsTheirOutput) {
    const QStringList targets = {silentAddress(201), silentAddress(202)};
    writeGroup(targets);
    ASSERT_NO_FATAL_FAILURE(start(QStringLiteral("/0/;6;;20000;0")));
    const qint64 pid = program.processId();

    // Running: both traces started and each has written its first two hops.
    std::map<qint64, QString> children;
    QStringList files;
    const auto bothWrote = [&] {
        files.clear();
        for (const QString& name : QDir(tempFolder()).entryList(QDir::Files, QDir::Name)) {
            QFile file(tempFolder() + '/' + name);
            if (file.open(QIODevice::ReadOnly))
                files << QString::fromUtf8(file.readAll());
        }
        return files.size() == 2 && files[0].contains("10.203.2.2") &&
               files[1].contains("10.203.2.2");
    };
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000 && program.state() == QProcess::Running) {
        if (const auto now = tracertChildren(pid); now.size() == 2)
            children = now;
        if (children.size() == 2 && bothWrote())
            break;
        program.waitForFinished(50);
    }
    ASSERT_EQ(children.size(), 2u);
    ASSERT_TRUE(bothWrote()) << files.join("\n----\n").toStdString();
    EXPECT_EQ(std::set<QString>({children.begin()->second, children.rbegin()->second}),
              std::set<QString>(targets.begin(), targets.end()));

    QElapsedTimer stop;
    stop.start();
    ASSERT_EQ(::kill(pid_t(pid), SIGINT), 0);
    const std::optional<QStringList> out = finish(10000);
    ASSERT_TRUE(out) << "no end within 10 s of the stop";
    EXPECT_EQ(program.exitCode(), 1) << err().toStdString();
    EXPECT_GE(stop.elapsed(), TraceStopWaitMs - 100);
    EXPECT_LT(stop.elapsed(), TraceStopWaitMs + 3000);
    // Killed, not left to run on: gone once the system has reaped what the program left.
    for (const auto& [child, target] : children) {
        QElapsedTimer reaped;
        reaped.start();
        while (!endedProcess(child) && reaped.elapsed() < 2000)
            QThread::msleep(20);
        EXPECT_TRUE(endedProcess(child)) << "tracert " << child << " still runs";
    }

    // The files as they were at the kill: the routers, no end.
    QStringList after = files;
    ASSERT_TRUE(bothWrote());
    EXPECT_EQ(files, after);
    for (const QString& file : files)
        EXPECT_FALSE(file.contains(QStringLiteral("跟踪完成"))) << file.toStdString();
    // What was read is printed for both targets in order, then the stop.
    ASSERT_GE(out->size(), 2);
    EXPECT_EQ(out->first(), QStringLiteral("跟踪路径到2 主机 ..."));
    EXPECT_EQ(out->last(), QStringLiteral("跟踪路径到2 主机.       停止."));
    const qsizetype first =
        out->indexOf(QStringLiteral("通过最多 6 个跃点(1） 跟踪到 %1 的路由:").arg(targets[0]));
    const qsizetype second =
        out->indexOf(QStringLiteral("通过最多 6 个跃点(2） 跟踪到 %1 的路由:").arg(targets[1]));
    EXPECT_GT(first, 0) << out->join('\n').toStdString();
    EXPECT_GT(second, first) << out->join('\n').toStdString();
    EXPECT_FALSE(out->join('\n').contains(QStringLiteral("跟踪完成")));
}

// The next start shows the last run again from its files: the same lines as were printed,
// only the closing lines without the times they were dated with.
TEST_F(ConsoleTraceLab, TheOutputFilesReloadAsThePrintedLines) {
    const QStringList targets = {TracertLab::FarAddress, TracertLab::CoreAddress,
                                 silentAddress(210)};
    writeGroup(targets);
    ASSERT_NO_FATAL_FAILURE(start(QStringLiteral("/0/;4;;300;0")));
    const std::optional<QStringList> out = finish(20000);
    ASSERT_TRUE(out);
    ASSERT_EQ(program.exitCode(), 0) << err().toStdString();
    ASSERT_GE(out->size(), 2);
    QStringList printed = out->mid(1, out->size() - 2);
    for (QString& line : printed)
        line = line.section(QStringLiteral("      从  "), 0, 0);

    // The file of the first target is the base and "0.txt".
    const QStringList files = QDir(tempFolder()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), targets.size()) << files.join(' ').toStdString();
    const QStringList first = files.filter(QRegularExpression(R"(^TMP\d+0\.txt$)"));
    ASSERT_EQ(first.size(), 1) << files.join(' ').toStdString();
    const QString base = tempFolder() + '/' + first[0].chopped(5);

    testing::FakeClock clock;
    testing::FakeProcessRunner runner{clock};
    testing::RecordingPrompts prompts;
    testing::FakeResolver resolver;
    RunState state;
    TraceRun run({runner, clock, prompts, resolver}, state, home.path() + "/data/SondrelDataBas",
                 Tracert);
    ASSERT_TRUE(run.ReloadPreviousTrace(base, targets.size(), 4));
    QStringList reloaded;
    for (const TraceRecord& record : run.records())
        reloaded += record.lines.mid(0, record.lineCount);
    EXPECT_EQ(reloaded, printed);
    EXPECT_TRUE(reloaded.contains(QStringLiteral("(3） 跟踪完成。")));
    EXPECT_EQ(run.titleLine(), QStringLiteral("跟踪路径到3 hosts."));
}

}  // namespace
}  // namespace sondrel::lab
