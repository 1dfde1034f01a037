#include <gtest/gtest.h>

#include "support/recording_prompts.h"
#include "trace/trace_options.h"

namespace sondrel {
namespace {

using testing::RecordingPrompts;

struct Built {
    std::optional<TraceOptions> options;
    RecordingPrompts prompts;
};

std::unique_ptr<Built> Build(const QString& hops, const QString& hosts, const QString& timeOut,
                             bool resolve = false) {
    auto built = std::make_unique<Built>();
    built->options = BuildTraceOptions({hops, hosts, timeOut, resolve}, built->prompts);
    return built;
}

TEST(TraceOptionsTest, AllOptionsGiveTheShownCommandAndTheArgumentsInItsOrder) {
    const auto built = Build(" 30 ", " 10.0.0.1  10.0.0.2 ", "4000");
    ASSERT_TRUE(built->options);
    EXPECT_TRUE(built->prompts.shown.isEmpty());
    EXPECT_EQ(built->options->text, "tracert -d -h 30 -j 10.0.0.1  10.0.0.2 -w 4000 ");
    EXPECT_EQ(built->options->maxHops, 30);
    EXPECT_EQ(
        TraceArguments(*built->options, "10.0.0.3"),
        QStringList({"-d", "-h", "30", "-j", "10.0.0.1", "10.0.0.2", "-w", "4000", "10.0.0.3"}));
}

TEST(TraceOptionsTest, EmptyOptionsWithNamesResolvedLeaveOnlyTheTarget) {
    const auto built = Build("", "  ", "", true);
    ASSERT_TRUE(built->options);
    EXPECT_EQ(built->options->text, "tracert ");
    EXPECT_EQ(built->options->maxHops, DefaultTraceMaxHops);  // sizes the line store
    EXPECT_EQ(TraceArguments(*built->options, "10.0.0.3"), QStringList({"10.0.0.3"}));
}

TEST(TraceOptionsTest, LeadingNumbersAreTakenAsWholeNumbers) {
    const auto built = Build("12 跳", "", "2.6ms");
    ASSERT_TRUE(built->options);
    EXPECT_EQ(built->options->text, "tracert -d -h 12 -w 3 ");
}

TEST(TraceOptionsTest, BadValuesAreRefusedWithTheirMessageAlone) {
    const struct {
        QString hops, hosts, timeOut, message;
    } cases[] = {
        {"0", "", "", "Inalid 最大跃点数。"},
        {"abc", "", "", "Inalid 最大跃点数。"},
        {"-5", "", "0", "Inalid 最大跃点数。"},  // the first bad box only
        {"", "", "0", "Inalid 超时值。"},
        {"", "10.0.0", "", "IInalid沿主机列表释放源路由"},
        {"", "a.b c", "", "IInalid沿主机列表释放源路由"},
        {"99999999999", "", "", "Inalid 试验次数。"},  // does not convert at all
        {"", "", "-1", "Inalid 超时值。"},
    };
    for (const auto& c : cases) {
        const auto built = Build(c.hops, c.hosts, c.timeOut);
        EXPECT_FALSE(built->options) << c.hops.toStdString() << c.timeOut.toStdString();
        ASSERT_EQ(built->prompts.shown.size(), 1);
        EXPECT_EQ(built->prompts.shown[0].text, c.message);
        EXPECT_EQ(built->prompts.shown[0].icon, MessageIcon::Critical);
    }
}

TEST(TraceOptionsTest, AnyTextWithThreeDotsIsAHostList) {
    EXPECT_TRUE(Build("", "a.b.c.d", "")->options);
    EXPECT_TRUE(Build("", "...", "")->options);
}

// The host list and the target reach the program as arguments: shell characters are plain
// text, and each host (split at any blank) is an argument of its own.
TEST(TraceOptionsTest, ShellCharactersStayInsideTheirOwnArgument) {
    const auto built = Build("", "1.1.1.1;reboot\t$(rm -rf ~).x `id`|2.2.2.2", "");
    ASSERT_TRUE(built->options);
    EXPECT_EQ(TraceArguments(*built->options, "10.0.0.1 && ls"),
              QStringList({"-d", "-j", "1.1.1.1;reboot", "$(rm", "-rf", "~).x", "`id`|2.2.2.2",
                           "10.0.0.1 && ls"}));
}

TEST(TraceOptionsTest, HostListFromAnEntryTakesAddressesAndTheFirstNineMembers) {
    EXPECT_EQ(TraceHostListFromEntry("AGateway,10.0.0.7"), QString("10.0.0.7"));
    QString group = "BTwelve";
    for (int i = 1; i <= 12; ++i)
        group += QString(",10.0.1.%1 (m%1)").arg(i);
    EXPECT_EQ(TraceHostListFromEntry(group),
              QString("10.0.1.1 10.0.1.2 10.0.1.3 10.0.1.4 10.0.1.5 10.0.1.6 10.0.1.7 10.0.1.8 "
                      "10.0.1.9"));
    EXPECT_FALSE(TraceHostListFromEntry("CRange,10.0.0.1,10.0.0.9"));
    EXPECT_FALSE(TraceHostListFromEntry(""));
}

}  // namespace
}  // namespace sondrel
