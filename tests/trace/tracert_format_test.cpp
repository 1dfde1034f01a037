// The pure parts of tracert: its command line, the layout of its lines, and the schedule that
// keeps several hops in flight yet hands the lines out in hop order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "trace/tracert/probe_socket.h"
#include "trace/tracert/trace_schedule.h"
#include "trace/tracert/tracert_args.h"
#include "trace/tracert/tracert_output.h"

namespace sondrel::tracert {
namespace {

ParsedArguments parse(std::vector<std::string> arguments) {
    return ParseArguments(arguments);
}

TEST(TracertArguments, DefaultsAndEveryOption) {
    const Options plain = parse({"host"}).options;
    EXPECT_TRUE(plain.resolveNames);
    EXPECT_EQ(plain.maxHops, 30);
    EXPECT_EQ(plain.timeoutMs, 4000);
    EXPECT_TRUE(plain.hostList.empty());
    EXPECT_EQ(plain.target, "host");

    // The order the main program writes them in: -d -h -j -w target.
    const ParsedArguments all = parse({"-d", "-h", "12", "-j", "10.0.0.1", "-w", "250", "t"});
    EXPECT_EQ(all.error, "");
    EXPECT_FALSE(all.options.resolveNames);
    EXPECT_EQ(all.options.maxHops, 12);
    EXPECT_EQ(all.options.hostList, std::vector<std::string>{"10.0.0.1"});
    EXPECT_EQ(all.options.timeoutMs, 250);
    EXPECT_EQ(all.options.target, "t");
    EXPECT_EQ(parse({"-h", "255", "t"}).options.maxHops, 255);
}

TEST(TracertArguments, HostListTakesArgumentsUpToTheNextOptionOrTheTarget) {
    const ParsedArguments split = parse({"-j", "a b", "c,d", "e", "-w", "5", "t"});
    EXPECT_EQ(split.options.hostList, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(split.options.target, "t");
    const ParsedArguments last = parse({"-j", "a", "b", "t"});
    EXPECT_EQ(last.options.hostList, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(last.options.target, "t");
    EXPECT_EQ(parse({"-j", "1 2 3 4 5 6 7 8 9", "t"}).error, "");
}

TEST(TracertArguments, RefusedCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {},           // no target
        {"-d"},       // an option is not a target
        {"-h", "t"},  // the target is not the value
        {"-h", "0", "t"},
        {"-h", "256", "t"},
        {"-h", "12x", "t"},
        {"-h", "-3", "t"},
        {"-w", "0", "t"},
        {"-w", "abc", "t"},
        {"-w", "", "t"},
        {"-j", "t"},                          // no host before the target
        {"-j", "1 2 3 4 5 6 7 8 9 10", "t"},  // more than the options can hold
        {"-j", "a", "-j", "b", "t"},          // twice
        {"-x", "t"},
        {"a", "t"},
        {"-d", "t", "u"}};
    for (const auto& arguments : bad) {
        const ParsedArguments parsed = ParseArguments(arguments);
        EXPECT_NE(parsed.error, "") << ::testing::PrintToString(arguments);
        EXPECT_FALSE(parsed.help);
    }
    EXPECT_TRUE(parse({"-d", "--help"}).help);
    EXPECT_TRUE(parse({"-?"}).help);
}

TEST(TracertOutput, TimeColumnsAndHeader) {
    EXPECT_EQ(TimeColumn(std::nullopt), "    *    ");
    EXPECT_EQ(TimeColumn(0), "   <1 毫秒");
    EXPECT_EQ(TimeColumn(1), "    1 ms ");
    EXPECT_EQ(TimeColumn(12), "   12 ms ");
    EXPECT_EQ(TimeColumn(4000), " 4000 ms ");
    EXPECT_EQ(TimeColumn(123456), "123456 ms ");

    EXPECT_EQ(HeaderLine(30, "far", 0x0acb030a),
              "通过最多 30 个跃点跟踪到 far [10.203.3.10] 的路由:");
    EXPECT_EQ(HeaderLine(5, "", 0xffffffff), "通过最多 5 个跃点跟踪到 255.255.255.255 的路由:");
    EXPECT_EQ(FormatNode("", 0x01020304), "1.2.3.4");
    EXPECT_EQ(UnresolvedLine("x.invalid"), "无法解析目标系统名称 x.invalid。");
}

TEST(TracertOutput, HopLinesMatchTheLayoutTheHelpShows) {
    const std::vector<std::pair<HopLine, std::string>> cases = {
        {{1, {0, 0, 0}, "router [10.0.0.1]", ""},
         "  1    <1 毫秒   <1 毫秒   <1 毫秒 router [10.0.0.1]"},
        {{2, {3, std::nullopt, 2}, "10.0.1.1", ""}, "  2     3 ms     *        2 ms  10.0.1.1"},
        {{3, {}, "", ""}, "  3     *        *        *     请求超时。"},
        {{4, {1, 1, 0}, "10.0.2.1", "无法访问目标网。"},
         "  4     1 ms     1 ms    <1 毫秒 10.0.2.1  报告: 无法访问目标网。"},
    };
    const std::string help = HelpText();
    for (const auto& [line, text] : cases) {
        EXPECT_EQ(FormatHopLine(line), text);
        EXPECT_NE(help.find("    " + text + "\n"), std::string::npos) << text;
    }
    EXPECT_EQ(FormatHopLine({120, {}, "", SendFailureText(101)}),
              "120     *        *        *     传输失败。错误代码 101。");
    EXPECT_EQ(help.rfind(UsageLine() + "\n", 0), 0u);
}

TEST(TracertOutput, EveryUnreachableCodeHasItsOwnTextAndTheHelpListsIt) {
    const std::string help = HelpText();
    std::vector<std::string> seen;
    for (int code = 0; code <= 15; ++code) {
        const std::string text = ErrorText(3, code);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 0) << code;
        EXPECT_NE(help.find(std::to_string(code) + "   " + text), std::string::npos) << text;
        seen.push_back(text);
    }
    EXPECT_EQ(ErrorText(3, 0), "无法访问目标网。");
    EXPECT_EQ(ErrorText(3, 1), "无法访问目标主机。");
    EXPECT_EQ(ErrorText(3, 16), "无法访问目标。");
    for (const auto& [type, code] : {std::pair{11, 1}, {12, 0}, {4, 0}})
        EXPECT_NE(help.find(ErrorText(type, code)), std::string::npos) << type;
}

TEST(TracertOutput, NoRightsLineNamesBothWays) {
    const std::string line = NoRightsLine(1000, "1 0", "/opt/tracert", EACCES, EPERM);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    for (const char* part :
         {"net.ipv4.ping_group_range（当前为 \"1 0\"）不包含组 1000", "CAP_NET_RAW",
          "\"sudo setcap cap_net_raw+ep /opt/tracert\"", "'1000 1000'"})
        EXPECT_NE(line.find(part), std::string::npos) << part;
}

TEST(TracertSourceRoute, OptionHoldsEveryHostAfterANoOperation) {
    const std::uint32_t hosts[] = {0x0a000001, 0xc0a80102};
    EXPECT_EQ(LooseSourceRouteOption(hosts),
              (std::vector<std::uint8_t>{1, 131, 11, 4, 10, 0, 0, 1, 192, 168, 1, 2}));
    const std::vector<std::uint32_t> nine(9, 1);
    EXPECT_EQ(LooseSourceRouteOption(nine).size(), 40u);  // all the room IPv4 options have
}

// --- the schedule ---------------------------------------------------------------------

ProbeAnswer router(std::uint32_t from, int rtt = 1) {
    return {ProbeAnswer::Kind::TtlExpired, from, rtt, 11, 0};
}
ProbeAnswer target(std::uint32_t from = 99) {
    return {ProbeAnswer::Kind::EchoReply, from, 2, 0, 0};
}

void answerAll(TraceSchedule& s, int hop, const ProbeAnswer& answer) {
    for (int k = 0; k < ProbesPerHop; ++k)
        s.answered(hop, k, answer);
}

std::vector<int> hopsOf(const std::vector<HopResult>& results) {
    std::vector<int> hops;
    for (const HopResult& r : results)
        hops.push_back(r.hop);
    return hops;
}

TEST(TraceSchedule, SendsAFewHopsPastTheFrontierUntilOpened) {
    TraceSchedule s(30);
    EXPECT_EQ(s.startHops(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(s.startHops().empty());
    EXPECT_FALSE(s.awaited(4, 0)) << "not sent yet";
    answerAll(s, 1, router(1));
    EXPECT_EQ(s.startHops(), std::vector<int>{4});
    answerAll(s, 3, router(3));  // out of order: the frontier is the highest router
    EXPECT_EQ(s.frontier(), 3);
    EXPECT_EQ(s.startHops(), (std::vector<int>{5, 6}));
    answerAll(s, 2, router(2));
    EXPECT_EQ(s.frontier(), 3);
    // Neither the target nor a time-out moves the frontier.
    answerAll(s, 5, target());
    s.timedOut(4, 0);
    EXPECT_EQ(s.frontier(), 3);
    EXPECT_TRUE(s.startHops().empty());

    // Opened, the schedule keeps 16 hops unfinished, but never passes the end it knows.
    TraceSchedule wide(30);
    wide.startHops();
    wide.open();
    const std::vector<int> more = wide.startHops();
    ASSERT_EQ(more.size(), 13u);
    EXPECT_EQ(more.back(), 16);
    answerAll(wide, 9, router(9));
    answerAll(wide, 2, router(2));
    EXPECT_EQ(wide.startHops(), (std::vector<int>{17, 18}));
    answerAll(wide, 12, target());
    answerAll(wide, 4, router(4));
    EXPECT_TRUE(wide.startHops().empty());
    EXPECT_EQ(TraceSchedule(2).startHops(), (std::vector<int>{1, 2}));
}

TEST(TraceSchedule, LinesComeInHopOrderAsSoonAsTheHopsBeforeAreDone) {
    TraceSchedule s(30);
    s.startHops();
    s.open();
    s.startHops();
    answerAll(s, 2, router(2));
    s.answered(1, 0, router(1));
    s.timedOut(1, 2);
    EXPECT_TRUE(s.takeReady().empty()) << "hop 1 still has a probe out";
    answerAll(s, 3, router(3));
    s.answered(1, 1, router(7, 4));  // a second router answering the same hop
    const std::vector<HopResult> ready = s.takeReady();
    EXPECT_EQ(hopsOf(ready), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ready[0].node, 1u);  // the first that answered
    EXPECT_EQ(ready[0].rttMs[1], 4);
    EXPECT_FALSE(ready[0].rttMs[2]);
    EXPECT_TRUE(s.takeReady().empty()) << "each line is handed out once";
    // Only the first outcome of a probe counts.
    s.timedOut(4, 0);
    s.answered(4, 0, target());
    EXPECT_EQ(s.end(), 30) << "a late answer after the time-out counted";
    EXPECT_FALSE(s.awaited(4, 0));
    EXPECT_TRUE(s.awaited(4, 1));
}

TEST(TraceSchedule, EndsAtTheTargetsHopWithoutWaitingForLaterHops) {
    TraceSchedule s(30);
    s.startHops();
    s.open();
    s.startHops();
    answerAll(s, 4, target());  // hop 4 reached the target before hop 3 answered
    EXPECT_EQ(s.end(), 4);
    EXPECT_FALSE(s.awaited(5, 0)) << "probes after the target are not awaited";
    answerAll(s, 1, router(1));
    answerAll(s, 2, router(2));
    EXPECT_EQ(s.startHops(), std::vector<int>{}) << "nothing is started after the target";
    EXPECT_EQ(hopsOf(s.takeReady()), (std::vector<int>{1, 2}));
    EXPECT_FALSE(s.finished());
    // Hop 3 turns out to reach the target as well: the trace ends there, and hop 4 never shows.
    s.answered(3, 0, target());
    s.timedOut(3, 1);
    s.answered(3, 2, target());
    const std::vector<HopResult> last = s.takeReady();
    ASSERT_EQ(hopsOf(last), std::vector<int>{3});
    EXPECT_TRUE(last[0].reached);
    EXPECT_TRUE(s.finished());
    EXPECT_TRUE(s.takeReady().empty());
}

TEST(TraceSchedule, ErrorsAndSendFailuresEndTheTraceAtTheirHop) {
    TraceSchedule unreachable(30);
    unreachable.open();
    unreachable.startHops();
    answerAll(unreachable, 1, router(1));
    unreachable.answered(2, 0, {ProbeAnswer::Kind::Error, 2, 0, 3, 0});
    unreachable.timedOut(2, 1);
    unreachable.answered(2, 2, {ProbeAnswer::Kind::Error, 2, 0, 3, 1});
    const std::vector<HopResult> lines = unreachable.takeReady();
    ASSERT_EQ(hopsOf(lines), (std::vector<int>{1, 2}));
    ASSERT_TRUE(lines[1].error);
    EXPECT_EQ(lines[1].error->code, 0);  // the first error is the one reported
    EXPECT_TRUE(unreachable.finished());
    answerAll(unreachable, 5, target());  // probes sent before the end was known
    EXPECT_TRUE(unreachable.finished());
    EXPECT_EQ(unreachable.end(), 2);
    EXPECT_TRUE(unreachable.takeReady().empty());

    TraceSchedule unsent(30);
    unsent.startHops();
    unsent.sendFailed(1, 0, 101);
    unsent.sendFailed(1, 1, 101);
    unsent.sendFailed(1, 2, 101);
    const std::vector<HopResult> failed = unsent.takeReady();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].sendError, 101);
    EXPECT_TRUE(unsent.finished());
}

TEST(TraceSchedule, SilentHopsRunToTheHopLimitSixteenAtATime) {
    TraceSchedule s(20);
    auto timeOut = [&s](const std::vector<int>& hops) {
        for (const int hop : hops) {
            for (int k = 0; k < ProbesPerHop; ++k)
                s.timedOut(hop, k);
        }
    };
    const std::vector<int> first = s.startHops();
    s.open();  // the frontier stood still
    std::vector<int> wave = first;
    for (const int hop : s.startHops())
        wave.push_back(hop);
    ASSERT_EQ(wave.size(), 16u);
    timeOut(wave);  // one time-out for all of them
    std::vector<int> printed = hopsOf(s.takeReady());
    const std::vector<int> rest = s.startHops();
    EXPECT_EQ(rest, (std::vector<int>{17, 18, 19, 20}));
    timeOut(rest);  // and a second
    for (const int hop : hopsOf(s.takeReady()))
        printed.push_back(hop);
    ASSERT_EQ(printed.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(printed[std::size_t(i)], i + 1);
    EXPECT_TRUE(s.finished());
}

}  // namespace
}  // namespace sondrel::tracert
