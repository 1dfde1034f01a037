#include <gtest/gtest.h>

#include <cstring>

#include "scan/worker/netbios_status.h"
#include "scan/worker/scan_report.h"

namespace sondrel::scan {
namespace {

TEST(ScanWorkerReport, TextsAreThoseTheScanSplits) {
    const std::array<std::uint8_t, 6> mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    const std::string report = AnswerReport("12", 4, 128, "alpha", FormatMacAddress(mac));
    EXPECT_EQ(report, "12,4,128,alpha,00-1A-2B-3C-4D-5E");
    EXPECT_EQ(report.size(), 32u);
    EXPECT_EQ(AnswerReport("3", 12, 64, "", ""), "3,12,64,,");
    EXPECT_EQ(NoAnswerReport("7"), "7,无效");
    const std::array<std::uint8_t, 6> low{0x0A, 0, 1, 0xFF, 0x10, 0xA0};
    EXPECT_EQ(FormatMacAddress(low), "0A-00-01-FF-10-A0");
}

TEST(ScanWorkerReport, DatagramCarriesKindCountAndZeroByte) {
    const std::vector<std::uint8_t> datagram = EncodeReport("12,4,128,alpha,00-1A-2B-3C-4D-5E");
    ASSERT_EQ(datagram.size(), 8u + 33u);
    std::int32_t kind = 0, count = 0;
    std::memcpy(&kind, datagram.data(), 4);
    std::memcpy(&count, datagram.data() + 4, 4);
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(count, 33);
    EXPECT_EQ(datagram.back(), 0);
}

TEST(ScanWorkerReport, ALongHostNameIsCutSoTheMacStillFits) {
    std::string name;
    for (int i = 0; i < 150; ++i)
        name += "名";  // three bytes each
    const std::string report = AnswerReport("200", 1, 64, name, "00-1A-2B-3C-4D-5E");
    EXPECT_LE(report.size() + 1, ReportBufferBytes);
    EXPECT_TRUE(report.ends_with(",00-1A-2B-3C-4D-5E"));
    // Cut between characters: the name part is whole three-byte characters.
    const std::size_t nameStart = std::string("200,1,64,").size();
    const std::size_t nameBytes = report.size() - nameStart - 18;
    EXPECT_EQ(nameBytes % 3, 0u);
    EXPECT_LE(EncodeReport(report).size(), 8u + ReportBufferBytes);
}

TEST(ScanWorkerArguments, ReadsTheFieldsByPosition) {
    std::string error;
    const auto parsed = ParseWorkerArguments("4242,10.0.0.3,2,,,,,350", error);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->endpoint, "4242");
    EXPECT_EQ(parsed->address, "10.0.0.3");
    EXPECT_EQ(parsed->row, "2");
    EXPECT_FALSE(ParseWorkerArguments("4242,10.0.0.3", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ParseWorkerArguments("../x,10.0.0.3,2", error));
    EXPECT_FALSE(ParseWorkerArguments("42,,2", error));
}

std::vector<std::uint8_t> Answer(std::uint16_t id, int names, bool compressed, int cut = 0) {
    std::vector<std::uint8_t> p = {
        std::uint8_t(id >> 8), std::uint8_t(id), 0x84, 0x00, 0, 0, 0, 1, 0, 0, 0, 0};
    if (compressed) {
        p.insert(p.end(), {0xC0, 0x0C});
    } else {
        p.push_back(32);
        p.insert(p.end(), 32, 'A');
        p.push_back(0);
    }
    const int length = 1 + names * 18 + 46;
    p.insert(p.end(), {0, 0x21, 0, 1, 0, 0, 0, 0, std::uint8_t(length >> 8), std::uint8_t(length)});
    p.push_back(std::uint8_t(names));
    for (int n = 0; n < names; ++n) {
        p.insert(p.end(), 15, 'N');
        p.insert(p.end(), {0x20, 0x04, 0x00});
    }
    p.insert(p.end(), {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    p.insert(p.end(), 40, 0);
    p.resize(p.size() - std::size_t(cut));
    return p;
}

TEST(NetBiosStatus, RequestAsksForTheNodeStatusOfStar) {
    const std::vector<std::uint8_t> request = BuildNodeStatusRequest(0x1234);
    ASSERT_EQ(request.size(), 50u);
    EXPECT_EQ(request[0], 0x12);
    EXPECT_EQ(request[5], 1);  // one question
    EXPECT_EQ(request[12], 32);
    EXPECT_EQ(request[13], 'C');  // '*' = 0x2A
    EXPECT_EQ(request[14], 'K');
    EXPECT_EQ(request[15], 'A');
    EXPECT_EQ(request[47], 0x21);
}

TEST(NetBiosStatus, AnswerGivesTheUnitIdAfterTheNameTable) {
    const std::array<std::uint8_t, 6> mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(ParseNodeStatusAnswer(Answer(7, 3, false), 7), mac);
    EXPECT_EQ(ParseNodeStatusAnswer(Answer(7, 0, true), 7), mac);
    EXPECT_FALSE(ParseNodeStatusAnswer(Answer(7, 3, false), 8));      // another transaction
    EXPECT_FALSE(ParseNodeStatusAnswer(Answer(7, 3, false, 50), 7));  // cut in the unit id
    std::vector<std::uint8_t> lying = Answer(7, 1, true);
    lying[12 + 2 + 10] = 200;  // more names than the packet holds
    EXPECT_FALSE(ParseNodeStatusAnswer(lying, 7));
    EXPECT_FALSE(ParseNodeStatusAnswer(BuildNodeStatusRequest(7), 7));  // a question
}

}  // namespace
}  // namespace sondrel::scan
