#pragma once

// The command line of tracert: tracert [-d] [-h hops] [-j host-list] [-w ms] target

#include <span>
#include <string>
#include <vector>

namespace sondrel::tracert {

constexpr int DefaultMaxHops = 30;
constexpr int MaxTtl = 255;
constexpr int DefaultTimeoutMs = 4000;
constexpr int MaxSourceRouteHosts = 9;  // what fits in the 40 bytes of IPv4 options

struct Options {
    bool resolveNames = true;           // -d turns the reverse look-ups off
    int maxHops = DefaultMaxHops;       // -h
    std::vector<std::string> hostList;  // -j, at most MaxSourceRouteHosts
    int timeoutMs = DefaultTimeoutMs;   // -w, per reply
    std::string target;                 // the last argument
};

struct ParsedArguments {
    Options options;
    bool help = false;  // --help (or -?): print HelpText and nothing else
    std::string error;  // empty when the command line is good
};

// The arguments after the program name. The target is the last argument; -j takes the
// arguments after it up to the next option or the target, each of which may itself hold
// several hosts separated by spaces or commas.
ParsedArguments ParseArguments(std::span<const std::string> arguments);

// One line, no line end.
std::string UsageLine();

// The options, the exact layout of the output, the error texts and the exit codes.
std::string HelpText();

}  // namespace sondrel::tracert
