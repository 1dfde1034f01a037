#pragma once

// The scan worker's command line and its report, as plain C++ so that the worker links no Qt.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sondrel::scan {

// A report datagram: kind, byte count and the text with its zero byte, at most this many bytes
// of text and zero together.
inline constexpr std::size_t ReportBufferBytes = 255;
inline constexpr std::int32_t ReportKind = 3;
inline constexpr char NoAnswerText[] = "无效";
// Where the main program tells its workers to send their reports; without it they use the
// user's runtime folder.
inline constexpr char ReportDirectoryVariable[] = "SONDREL_SCAN_REPORT_DIR";

// The fields the worker reads from its command line "ENDPOINT,ADDRESS,ROW,,,,,PAUSE".
struct WorkerArguments {
    std::string endpoint;  // the main program's endpoint number (its process id)
    std::string address;
    std::string row;  // passed back exactly as received
};

// Nothing, with `error` set, when a field is missing or the endpoint is not a number.
std::optional<WorkerArguments> ParseWorkerArguments(const std::string& line, std::string& error);

// "00-1A-2B-3C-4D-5E".
std::string FormatMacAddress(std::span<const std::uint8_t, 6> bytes);

// The report of an answering address. A host name too long for the report buffer is cut (at a
// character boundary) so that the hardware address still fits.
std::string AnswerReport(const std::string& row, int milliseconds, int ttl, std::string hostName,
                         const std::string& mac);
std::string NoAnswerReport(const std::string& row);

// The datagram that carries `text`: kind, byte count (text bytes + 1) and the text with its
// zero byte, cut to the buffer's size.
std::vector<std::uint8_t> EncodeReport(const std::string& text);

// The socket file of the endpoint in `directory`.
std::string ReportSocketPath(const std::string& directory, const std::string& endpoint);

}  // namespace sondrel::scan
