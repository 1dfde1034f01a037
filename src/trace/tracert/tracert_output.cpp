#include "trace/tracert/tracert_output.h"

#include <cstdio>
#include <cstring>

#include "net/icmp_packet.h"

namespace sondrel::tracert {

std::string FormatAddress(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xff,
                  (address >> 8) & 0xff, address & 0xff);
    return text;
}

std::string FormatNode(const std::string& name, std::uint32_t address) {
    if (name.empty())
        return FormatAddress(address);
    return name + " [" + FormatAddress(address) + "]";
}

std::string HeaderLine(int maxHops, const std::string& name, std::uint32_t address) {
    return "通过最多 " + std::to_string(maxHops) + " 个跃点跟踪到 " + FormatNode(name, address) +
           " 的路由:";
}

std::string TimeColumn(std::optional<int> rttMs) {
    if (!rttMs)
        return "    *    ";
    if (*rttMs < 1)
        return "   <1 毫秒";
    char text[32];
    std::snprintf(text, sizeof text, "%5d ms ", *rttMs);
    return text;
}

std::string FormatHopLine(const HopLine& line) {
    char hop[16];
    std::snprintf(hop, sizeof hop, "%3d ", line.hop);
    std::string text = hop;
    for (const auto& rtt : line.rttMs)
        text += TimeColumn(rtt);
    text += ' ';
    if (line.node.empty())
        return text + (line.report.empty() ? "请求超时。" : line.report);
    text += line.node;
    if (!line.report.empty())
        text += "  报告: " + line.report;
    return text;
}

std::string ErrorText(int type, int code) {
    static const char* const unreachable[] = {
        "无法访问目标网。",
        "无法访问目标主机。",
        "无法访问目标协议。",
        "无法访问目标端口。",
        "需要拆分数据包但设置了 DF。",
        "源路由失败。",
        "目标网络未知。",
        "目标主机未知。",
        "源主机已隔离。",
        "与目标网络的通信被管理性禁止。",
        "与目标主机的通信被管理性禁止。",
        "对此服务类型无法访问目标网。",
        "对此服务类型无法访问目标主机。",
        "通信被管理性禁止。",
        "违反主机优先级。",
        "优先级截止生效。",
    };
    switch (type) {
        case net::IcmpType::Unreachable:
            if (code >= 0 && code < int(std::size(unreachable)))
                return unreachable[code];
            return "无法访问目标。";
        case net::IcmpType::TimeExceeded:
            return code == 1 ? "重组时 TTL 过期。" : "传输时 TTL 过期。";
        case net::IcmpType::ParameterProblem:
            return "参数错误。";
        case net::IcmpType::SourceQuench:
            return "源抑制。";
        default:
            return "一般故障。";
    }
}

std::string SendFailureText(int error) {
    return "传输失败。错误代码 " + std::to_string(error) + "。";
}

std::string UnresolvedLine(const std::string& name) {
    return "无法解析目标系统名称 " + name + "。";
}

std::string NoRightsLine(unsigned gid, const std::string& range, const std::string& program,
                         int datagramError, int rawError) {
    const std::string g = std::to_string(gid);
    return "tracert: 无法打开 ICMP 套接字。数据报套接字被拒绝（" +
           std::string(std::strerror(datagramError)) + "）：net.ipv4.ping_group_range（当前为 \"" +
           range + "\"）不包含组 " + g + "；原始套接字被拒绝（" + std::strerror(rawError) +
           "）：没有 CAP_NET_RAW 权限。授权方法：\"sudo setcap cap_net_raw+ep " + program +
           "\"，或 \"sudo sysctl -w net.ipv4.ping_group_range='" + g + " " + g + "'\"。";
}

std::string SourceRouteRefusedLine(const std::string& program, int error) {
    return "tracert: 系统拒绝了 -j 的松散源路由（IP_OPTIONS，" + std::string(std::strerror(error)) +
           "）：源路由需要 CAP_NET_RAW 权限。授权方法：\"sudo setcap cap_net_raw+ep " + program +
           "\"。";
}

}  // namespace sondrel::tracert
