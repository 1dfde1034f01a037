#include "scan/worker/scan_report.h"

#include <cstring>

namespace sondrel::scan {

namespace {

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = line.find(',', from);
        fields.push_back(line.substr(from, comma - from));
        if (comma == std::string::npos)
            return fields;
        from = comma + 1;
    }
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Cuts `text` to at most `bytes` bytes without splitting a UTF-8 character.
void CutUtf8(std::string& text, std::size_t bytes) {
    if (text.size() <= bytes)
        return;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    text.resize(bytes);
}

}  // namespace

std::optional<WorkerArguments> ParseWorkerArguments(const std::string& line, std::string& error) {
    const std::vector<std::string> fields = SplitFields(line);
    if (fields.size() < 3) {
        error = "the command line has fewer than three fields: " + line;
        return std::nullopt;
    }
    WorkerArguments arguments{Trimmed(fields[0]), Trimmed(fields[1]), fields[2]};
    if (arguments.endpoint.empty() ||
        arguments.endpoint.find_first_not_of("0123456789") != std::string::npos) {
        error = "the endpoint field is not a number: " + fields[0];
        return std::nullopt;
    }
    if (arguments.address.empty()) {
        error = "the address field is empty";
        return std::nullopt;
    }
    return arguments;
}

std::string FormatMacAddress(std::span<const std::uint8_t, 6> bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += '-';
        text += Digits[bytes[i] >> 4];
        text += Digits[bytes[i] & 0x0F];
    }
    return text;
}

std::string AnswerReport(const std::string& row, int milliseconds, int ttl, std::string hostName,
                         const std::string& mac) {
    const std::string head =
        row + "," + std::to_string(milliseconds) + "," + std::to_string(ttl) + ",";
    const std::size_t room = ReportBufferBytes - 1;
    const std::size_t fixed = head.size() + 1 + mac.size();
    CutUtf8(hostName, fixed < room ? room - fixed : 0);
    return head + hostName + "," + mac;
}

std::string NoAnswerReport(const std::string& row) {
    return row + "," + NoAnswerText;
}

std::vector<std::uint8_t> EncodeReport(const std::string& text) {
    std::string body = text;
    CutUtf8(body, ReportBufferBytes - 1);
    const std::int32_t kind = ReportKind;
    const std::int32_t count = std::int32_t(body.size() + 1);
    std::vector<std::uint8_t> datagram(2 * sizeof(std::int32_t) + body.size() + 1, 0);
    std::memcpy(datagram.data(), &kind, sizeof kind);
    std::memcpy(datagram.data() + sizeof kind, &count, sizeof count);
    std::memcpy(datagram.data() + 2 * sizeof kind, body.data(), body.size());
    return datagram;
}

std::string ReportSocketPath(const std::string& directory, const std::string& endpoint) {
    return directory + "/scan-" + endpoint + ".sock";
}

}  // namespace sondrel::scan
