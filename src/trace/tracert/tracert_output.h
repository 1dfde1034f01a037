#pragma once

// The texts tracert prints. The trace reader of the main program numbers the line that holds
// "跟踪" and stamps the one that holds "完成", so those words belong to the header and the
// last line only.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace sondrel::tracert {

// "10.0.0.1" for an address in host byte order.
std::string FormatAddress(std::uint32_t address);

// "name [10.0.0.1]", or the address alone when `name` is empty.
std::string FormatNode(const std::string& name, std::uint32_t address);

// "通过最多 30 个跃点跟踪到 NAME [ADDR] 的路由:"; `name` empty gives "...跟踪到 ADDR 的路由:".
std::string HeaderLine(int maxHops, const std::string& name, std::uint32_t address);

// One time column: "    *    " without a reply, "   <1 毫秒" below 1 ms, "%5d ms " from 1 ms.
std::string TimeColumn(std::optional<int> rttMs);

// What one hop line shows.
struct HopLine {
    int hop = 0;
    std::array<std::optional<int>, 3> rttMs;  // empty: no answer to that probe
    std::string node;                         // empty: nobody answered
    std::string report;                       // an error text (ErrorText), or empty
};

// "%3d " + three time columns + " " + the node, or "请求超时。" without one; a report
// follows the node after "  报告: ", or stands alone when there is no node.
std::string FormatHopLine(const HopLine& line);

// The text after "报告: " for an ICMP error that ends a trace (type and code as received);
// unreachable codes 0 to 15 each have their own.
std::string ErrorText(int type, int code);

// When a probe could not even be sent: "传输失败。错误代码 101。".
std::string SendFailureText(int error);

// "无法解析目标系统名称 NAME。"
std::string UnresolvedLine(const std::string& name);

// The one line on stderr when neither ICMP socket opens: what the datagram socket needs
// (ping_group_range must cover `gid`, now `range`) and what the raw one needs (CAP_NET_RAW,
// given with setcap on `program`).
std::string NoRightsLine(unsigned gid, const std::string& range, const std::string& program,
                         int datagramError, int rawError);

// The line on stderr when the system refuses the source route of -j (`error` is its errno):
// it takes CAP_NET_RAW, which a user of the datagram socket may lack.
std::string SourceRouteRefusedLine(const std::string& program, int error);

}  // namespace sondrel::tracert
