// The tracert program itself, run inside the client of a lab with two routers, once over
// each kind of ICMP socket: the datagram socket (as user nobody, whom ping_group_range lets
// in) and the raw socket (as root, with ping_group_range shut).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <future>
#include <map>
#include <memory>
#include <vector>

#include "lab/lab_fixture.h"
#include "lab/tracert_lab.h"

namespace sondrel::lab {
namespace {

const QString Tracert = QStringLiteral(SONDREL_BINARY_DIR "/src/tracert");
const QStringList AsNobody = {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")};

// One answered probe: below 1 ms, or a few milliseconds in "%5d ms ".
const QString Answered = QStringLiteral("(?:   <1 毫秒|    \\d ms |   \\d\\d ms |  \\d\\d\\d ms )");
const QString Unanswered = QStringLiteral("    *        *        *    ");

QString answeredHop(int hop, const QString& node) {
    return QStringLiteral("^%1 %2{3} %3$")
        .arg(hop, 3)
        .arg(Answered, QRegularExpression::escape(node));
}

// A hop that reports an error: the router's limit on such errors may leave some probes
// unanswered, never all of them.
QString reportingHop(int hop, const QString& node, const QString& report) {
    return QStringLiteral("^%1 (?=.*(?:毫秒| ms ))(?:%2|    \\*    ){3} %3  报告: %4$")
        .arg(hop, 3)
        .arg(Answered, QRegularExpression::escape(node), QRegularExpression::escape(report));
}

QString silentHop(int hop) {
    return QStringLiteral("%1 ").arg(hop, 3) + Unanswered + QStringLiteral(" 请求超时。");
}

QStringList texts(const TracertLab::Result& result) {
    QStringList out;
    for (const TracertLab::Line& line : result.lines)
        out << line.text;
    return out;
}

// Checks a whole output: the header block, one pattern per hop line, the closing block.
void expectTrace(const TracertLab::Result& result, const QString& header,
                 const QStringList& hopPatterns) {
    ASSERT_TRUE(result.finished) << result.out.toStdString();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, QByteArray());
    const QStringList lines = texts(result);
    ASSERT_EQ(lines.size(), 3 + hopPatterns.size() + 2) << result.out.toStdString();
    EXPECT_EQ(lines.mid(0, 3), QStringList({QString(), header, QString()}));
    for (qsizetype i = 0; i < hopPatterns.size(); ++i) {
        const QString& line = lines[3 + i];
        EXPECT_TRUE(QRegularExpression(hopPatterns[i]).match(line).hasMatch())
            << "line " << line.toStdString() << "\n  pattern " << hopPatterns[i].toStdString();
    }
    EXPECT_EQ(lines.mid(lines.size() - 2), QStringList({QString(), QStringLiteral("跟踪完成。")}));
    EXPECT_TRUE(result.out.endsWith("\n跟踪完成。\n"));
}

// The lab is ready and the program built; no name service daemon that would answer from
// outside the lab.
#define TRACERT_LAB_READY()                                                      \
    do {                                                                         \
        LabFixture::SetUp();                                                     \
        if (IsSkipped() || HasFatalFailure())                                    \
            return;                                                              \
        ASSERT_TRUE(QFileInfo(Tracert).isExecutable())                           \
            << Tracert.toStdString() << " is missing: build the tracert target"; \
        ASSERT_FALSE(QFile::exists(QStringLiteral("/run/nscd/socket")));         \
    } while (false)

enum class Path { Datagram, Raw };

class TracertPaths : public LabFixture<::testing::TestWithParam<Path>, TracertLab> {
  protected:
    void SetUp() override {
        TRACERT_LAB_READY();
        if (GetParam() == Path::Datagram) {
            if (!runnableByOthers(Tracert))
                GTEST_SKIP() << "user nobody cannot reach " << Tracert.toStdString();
            ASSERT_TRUE(lab().setSysctl(TracertLab::Node::Client, "net.ipv4.ping_group_range",
                                        "0 2147483647"));
            prefix_ = AsNobody;
        } else {
            ASSERT_EQ(geteuid(), 0u);
            ASSERT_TRUE(
                lab().setSysctl(TracertLab::Node::Client, "net.ipv4.ping_group_range", "1 0"));
        }
    }
    TracertLab::Result trace(const QStringList& arguments, int timeoutMs = 30000) const {
        return lab().runInClient(prefix_ + QStringList{Tracert} + arguments, timeoutMs);
    }
    // A trace whose last hop is a "no route" error of `router`: waits until the router's
    // error budget has a token again (one a second, see TracertLab).
    TracertLab::Result traceToNoRoute(TracertLab::Node router, const QStringList& arguments) {
        QElapsedTimer& last = lastNoRoute_[router];
        if (last.isValid() && last.elapsed() < 1500)
            QThread::msleep(quint64(1500 - last.elapsed()));
        TracertLab::Result result = trace(arguments);
        last.start();
        return result;
    }

    static inline std::map<TracertLab::Node, QElapsedTimer> lastNoRoute_;

    QStringList prefix_;
};

TEST_P(TracertPaths, NamesEveryRouterAndTheTarget) {
    const auto r = trace({"far"});
    expectTrace(r, QStringLiteral("通过最多 30 个跃点跟踪到 far [10.203.3.10] 的路由:"),
                {answeredHop(1, "gate [10.203.1.1]"), answeredHop(2, "core [10.203.2.2]"),
                 answeredHop(3, "far [10.203.3.10]")});
    // The probes of later hops, answered by the target too, are neither shown nor awaited.
    EXPECT_LT(r.elapsedMs, 2000);

    // An address as the target: the header keeps the address, the hops keep their names.
    expectTrace(trace({"10.203.3.10"}),
                QStringLiteral("通过最多 30 个跃点跟踪到 10.203.3.10 的路由:"),
                {answeredHop(1, "gate [10.203.1.1]"), answeredHop(2, "core [10.203.2.2]"),
                 answeredHop(3, "far [10.203.3.10]")});
}

TEST_P(TracertPaths, NoNamesWithDashDAndHopLimit) {
    expectTrace(trace({"-d", "-w", "2000", "far"}),
                QStringLiteral("通过最多 30 个跃点跟踪到 10.203.3.10 的路由:"),
                {answeredHop(1, "10.203.1.1"), answeredHop(2, "10.203.2.2"),
                 answeredHop(3, "10.203.3.10")});
    expectTrace(trace({"-d", "-h", "1", "far"}),
                QStringLiteral("通过最多 1 个跃点跟踪到 10.203.3.10 的路由:"),
                {answeredHop(1, "10.203.1.1")});
    // The hop limit stops short of the target: hop 2 is the last line.
    expectTrace(trace({"-h", "2", "far"}),
                QStringLiteral("通过最多 2 个跃点跟踪到 far [10.203.3.10] 的路由:"),
                {answeredHop(1, "gate [10.203.1.1]"), answeredHop(2, "core [10.203.2.2]")});
}

// Hops 3 to 30 never answer. With 16 hops in flight that is two rounds of time-outs, and
// the lines of the routers come out before the first time-out has passed.
TEST_P(TracertPaths, SilentTargetCostsTwoTimeOuts) {
    constexpr int Wait = 400;
    const auto r = trace({"-d", "-w", QString::number(Wait), TracertLab::SilentAddress});
    QStringList hops = {answeredHop(1, "10.203.1.1"), answeredHop(2, "10.203.2.2")};
    for (int hop = 3; hop <= 30; ++hop)
        hops << QLatin1Char('^') + QRegularExpression::escape(silentHop(hop)) + QLatin1Char('$');
    expectTrace(r, QStringLiteral("通过最多 30 个跃点跟踪到 10.203.8.1 的路由:"), hops);
    ASSERT_EQ(r.lines.size(), 35);
    EXPECT_LT(r.lines[4].atMs, Wait) << "hop 2 waited for the silent hops";
    EXPECT_GE(r.lines[5].atMs, Wait - 20) << "hop 3 did not wait for its time-out";
    EXPECT_GE(r.lines[32].atMs, 2 * Wait - 20);
    EXPECT_LT(r.elapsedMs, 2 * Wait + 500);
}

TEST_P(TracertPaths, ErrorEndsTheTraceAtItsHop) {
    const auto net = traceToNoRoute(TracertLab::Node::Core,
                                    {"-d", "-w", "1000", TracertLab::NetUnreachableAddress});
    expectTrace(net, QStringLiteral("通过最多 30 个跃点跟踪到 10.203.9.1 的路由:"),
                {answeredHop(1, "10.203.1.1"),
                 reportingHop(2, "10.203.2.2", QStringLiteral("无法访问目标网。"))});

    // core gives up resolving the address after 300 ms; the probes of hops 4 to 16, held in
    // the same queue, come back the same way, and nobody waits for the rest.
    const QString unanswered = lab().freshUnansweredAddress();
    const auto host = trace({"-w", "3000", unanswered});
    expectTrace(host, QStringLiteral("通过最多 30 个跃点跟踪到 %1 的路由:").arg(unanswered),
                {answeredHop(1, "gate [10.203.1.1]"), answeredHop(2, "core [10.203.2.2]"),
                 reportingHop(3, "core [10.203.2.2]", QStringLiteral("无法访问目标主机。"))});
    EXPECT_LT(host.elapsedMs, 2000);
}

// gate has no route to the hidden host; a loose source route through core gets there.
TEST_P(TracertPaths, LooseSourceRouteReachesTheHiddenHost) {
    expectTrace(traceToNoRoute(TracertLab::Node::Gate, {"-d", "-w", "1000", "hidden"}),
                QStringLiteral("通过最多 30 个跃点跟踪到 10.203.4.10 的路由:"),
                {reportingHop(1, "10.203.1.1", QStringLiteral("无法访问目标网。"))});
    const QStringList viaCore = {answeredHop(1, "gate [10.203.1.1]"),
                                 answeredHop(2, "core [10.203.2.2]"),
                                 answeredHop(3, "hidden [10.203.4.10]")};
    const QString header = QStringLiteral("通过最多 30 个跃点跟踪到 hidden [10.203.4.10] 的路由:");
    if (!prefix_.isEmpty()) {
        // Source routes take CAP_NET_RAW, which nobody lacks: one line says so.
        const auto refused = trace({"-j", "core", "hidden"});
        ASSERT_TRUE(refused.finished);
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_EQ(refused.out, QByteArray());
        EXPECT_TRUE(QString::fromUtf8(refused.err)
                        .contains(QStringLiteral("源路由需要 CAP_NET_RAW 权限。授权方法："
                                                 "\"sudo setcap cap_net_raw+ep ") +
                                  Tracert + QStringLiteral("\"。\n")))
            << refused.err.toStdString();
        // Root on the datagram socket may.
        expectTrace(lab().runInClient({Tracert, "-j", "core", "hidden"}), header, viaCore);
        return;
    }
    expectTrace(trace({"-j", "core", "hidden"}), header, viaCore);
    // Two hosts, as two arguments: gate's far side first, then core.
    expectTrace(trace({"-j", "10.203.2.1", "10.203.2.2", "-w", "2000", "hidden"}), header, viaCore);
}

// Several traces at once (as the main program runs them) each see only their own answers.
TEST_P(TracertPaths, ParallelTracesKeepTheirAnswersApart) {
    std::vector<std::future<TracertLab::Result>> runs;
    for (int i = 0; i < 8; ++i) {
        const QStringList arguments =
            i % 2 ? QStringList{"-w", "3000", "far"} : QStringList{"-d", "-h", "2", "far"};
        runs.push_back(
            std::async(std::launch::async, [this, arguments] { return trace(arguments); }));
    }
    for (int i = 0; i < 8; ++i) {
        const auto r = runs[std::size_t(i)].get();
        if (i % 2) {
            expectTrace(r, QStringLiteral("通过最多 30 个跃点跟踪到 far [10.203.3.10] 的路由:"),
                        {answeredHop(1, "gate [10.203.1.1]"), answeredHop(2, "core [10.203.2.2]"),
                         answeredHop(3, "far [10.203.3.10]")});
        } else {
            expectTrace(r, QStringLiteral("通过最多 2 个跃点跟踪到 10.203.3.10 的路由:"),
                        {answeredHop(1, "10.203.1.1"), answeredHop(2, "10.203.2.2")});
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Socket, TracertPaths, ::testing::Values(Path::Datagram, Path::Raw),
                         [](const ::testing::TestParamInfo<Path>& param) {
                             return param.param == Path::Datagram ? "Datagram" : "Raw";
                         });

class TracertFailures : public LabFixture<::testing::Test, TracertLab> {
  protected:
    void SetUp() override { TRACERT_LAB_READY(); }
};

TEST_F(TracertFailures, UnknownNameIsReportedWithExitOne) {
    const auto r = lab().runInClient({Tracert, "-d", "no-such-host.invalid"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.out),
              QStringLiteral("无法解析目标系统名称 no-such-host.invalid。\n"));
    EXPECT_EQ(r.err, QByteArray());
}

TEST_F(TracertFailures, WithoutEitherRightOneLineNamesBoth) {
    if (!runnableByOthers(Tracert))
        GTEST_SKIP() << "user nobody cannot reach " << Tracert.toStdString();
    ASSERT_TRUE(lab().setSysctl(TracertLab::Node::Client, "net.ipv4.ping_group_range", "1 0"));
    const auto r = lab().runInClient(AsNobody + QStringList{Tracert, "far"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, QByteArray());
    const QString err = QString::fromUtf8(r.err);
    EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
    EXPECT_TRUE(err.endsWith(QLatin1Char('\n')));
    for (const QString& part :
         {QStringLiteral("net.ipv4.ping_group_range（当前为 \"1 0\"）不包含组 65534"),
          QStringLiteral("CAP_NET_RAW"), QStringLiteral("sudo setcap cap_net_raw+ep ") + Tracert,
          QStringLiteral("sudo sysctl -w net.ipv4.ping_group_range='65534 65534'")})
        EXPECT_TRUE(err.contains(part)) << err.toStdString() << "\n  lacks " << part.toStdString();
}

// Refused command lines end before anything is resolved or sent, so no lab is needed.
TEST(TracertCommandLine, BadOptionsGiveTheUsageAndExitTwo) {
    if (!QFileInfo(Tracert).isExecutable())
        GTEST_SKIP() << Tracert.toStdString() << " is missing: build the tracert target";
    const QString usage =
        QStringLiteral("用法: tracert [-d] [-h 最大跃点数] [-j 主机列表] [-w 超时] 目标名称\n");
    const QList<QStringList> bad = {{},
                                    {"-d"},
                                    {"-h", "0", "127.0.0.1"},
                                    {"-h", "256", "127.0.0.1"},
                                    {"-w", "abc", "127.0.0.1"},
                                    {"-x", "127.0.0.1"},
                                    {"127.0.0.1", "127.0.0.2"},
                                    {"-j", "1 2 3 4 5 6 7 8 9 10", "127.0.0.1"}};
    for (const QStringList& arguments : bad) {
        QProcess p;
        p.start(Tracert, arguments);
        ASSERT_TRUE(p.waitForFinished(10000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(err.startsWith(QStringLiteral("tracert: ")) && err.endsWith(usage))
            << err.toStdString();
        EXPECT_EQ(p.readAllStandardOutput(), QByteArray());
    }
    QProcess help;
    help.start(Tracert, {"--help"});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    EXPECT_TRUE(text.startsWith(usage)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("跟踪完成。")));
}

}  // namespace
}  // namespace sondrel::lab
