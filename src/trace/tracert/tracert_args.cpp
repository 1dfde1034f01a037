#include "trace/tracert/tracert_args.h"

#include <charconv>
#include <limits>

namespace sondrel::tracert {

namespace {

bool isOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// A whole decimal number from `low` to `high`, nothing else.
bool parseNumber(const std::string& text, int low, int high, int& value) {
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || at != end || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

void splitHosts(const std::string& text, std::vector<std::string>& hosts) {
    std::string host;
    for (const char c : text + ' ') {
        if (c == ' ' || c == ',' || c == '\t') {
            if (!host.empty())
                hosts.push_back(host);
            host.clear();
        } else {
            host += c;
        }
    }
}

}  // namespace

ParsedArguments ParseArguments(std::span<const std::string> arguments) {
    ParsedArguments parsed;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-?") {
            parsed.help = true;
            return parsed;
        }
    }
    Options& options = parsed.options;
    auto fail = [&parsed](std::string text) {
        parsed.error = std::move(text);
        return parsed;
    };
    if (arguments.empty())
        return fail("缺少目标名称");
    const std::size_t last = arguments.size() - 1;
    if (isOption(arguments[last]))
        return fail("缺少目标名称");
    bool hostListGiven = false;
    for (std::size_t i = 0; i < last; ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-d") {
            options.resolveNames = false;
        } else if (argument == "-h" || argument == "-w") {
            const bool hops = argument == "-h";
            if (i + 1 >= last)
                return fail("选项 " + argument + " 缺少值");
            const std::string& value = arguments[++i];
            const bool ok =
                hops ? parseNumber(value, 1, MaxTtl, options.maxHops)
                     : parseNumber(value, 1, std::numeric_limits<int>::max(), options.timeoutMs);
            if (!ok) {
                return fail(hops ? "最大跃点数必须是 1 到 255 的整数: " + value
                                 : "超时值必须是大于 0 的整数（毫秒）: " + value);
            }
        } else if (argument == "-j") {
            if (hostListGiven)
                return fail("选项 -j 只能给一次");
            hostListGiven = true;
            while (i + 1 < last && !isOption(arguments[i + 1]))
                splitHosts(arguments[++i], options.hostList);
            if (options.hostList.empty())
                return fail("选项 -j 缺少主机列表");
            if (options.hostList.size() > std::size_t(MaxSourceRouteHosts))
                return fail("主机列表最多 9 个主机");
        } else if (isOption(argument)) {
            return fail("未知选项 " + argument);
        } else {
            return fail("多余的参数 " + argument);
        }
    }
    options.target = arguments[last];
    return parsed;
}

std::string UsageLine() {
    return "用法: tracert [-d] [-h 最大跃点数] [-j 主机列表] [-w 超时] 目标名称";
}

std::string HelpText() {
    return UsageLine() + R"(

跟踪到目标的路由: 依次发送 TTL 为 1、2、3 … 的 ICMP 回显请求，每个跃点三次。

选项:
    -d                 不将地址解析为主机名。
    -h 最大跃点数      搜索目标的最大跃点数，1 到 255，默认 30。
    -j 主机列表        沿主机列表的松散源路由（IP 选项 LSRR），最多 9 个主机；
                       主机以空格或逗号分隔，可以是一个或几个参数。
    -w 超时            等待每个回复的超时时间，毫秒，默认 4000。
    目标名称           IPv4 地址或主机名，必须是最后一个参数。

输出（UTF-8，行以 LF 结束，每行写完立即输出）:
    一个空行
    通过最多 N 个跃点跟踪到 名称 [地址] 的路由:    目标是主机名且没有 -d 时
    通过最多 N 个跃点跟踪到 地址 的路由:           目标是地址，或有 -d 时
    一个空行
    每个跃点一行，按跃点顺序:
        跃点号右对齐占 3 列，一个空格，三个时间列，一个空格，然后是节点。
        时间列（每次探测一列）:
            "    *    "     没有回复
            "   <1 毫秒"    不到 1 毫秒
            "%5d ms "       1 毫秒及以上，如 "   12 ms "
        节点:
            "名称 [地址]"，没有名称或有 -d 时只写地址；
            三次探测都没有回复时写 "请求超时。"；
            收到 ICMP 错误时，节点后写两个空格、"报告: " 和错误文字。
    一个空行
    跟踪完成。

    例:
      1    <1 毫秒   <1 毫秒   <1 毫秒 router [10.0.0.1]
      2     3 ms     *        2 ms  10.0.1.1
      3     *        *        *     请求超时。
      4     1 ms     1 ms    <1 毫秒 10.0.2.1  报告: 无法访问目标网。

    目标回复的跃点、报告错误的跃点或第 N 个跃点是最后一行。
    目标名称无法解析时只输出 "无法解析目标系统名称 名称。"。
    探测无法发送时，节点处写 "传输失败。错误代码 E。"（E 是系统的 errno）。

ICMP 错误文字:
    目标不可达（类型 3）代码 0   无法访问目标网。
                           1   无法访问目标主机。
                           2   无法访问目标协议。
                           3   无法访问目标端口。
                           4   需要拆分数据包但设置了 DF。
                           5   源路由失败。
                           6   目标网络未知。
                           7   目标主机未知。
                           8   源主机已隔离。
                           9   与目标网络的通信被管理性禁止。
                          10   与目标主机的通信被管理性禁止。
                          11   对此服务类型无法访问目标网。
                          12   对此服务类型无法访问目标主机。
                          13   通信被管理性禁止。
                          14   违反主机优先级。
                          15   优先级截止生效。
                        其他   无法访问目标。
    重组超时（类型 11 代码 1）       重组时 TTL 过期。
    参数问题（类型 12）              参数错误。
    源抑制（类型 4）                 源抑制。

权限: 使用 ICMP 数据报套接字（net.ipv4.ping_group_range 须包含用户的组），
否则使用原始套接字（root 或 CAP_NET_RAW，如 sudo setcap cap_net_raw+ep tracert）。

退出状态: 0 跟踪完成；1 无法解析名称；2 选项错误或没有发送 ICMP 的权限。
)";
}

}  // namespace sondrel::tracert
