#include <gtest/gtest.h>

#include "targets/entry_editing.h"

namespace sondrel {
namespace {

const QList<ScannedAddress> Rows{{"10.0.0.1", "3", "alpha"},
                                 {"10.0.0.2", "无效", ""},
                                 {"10.0.0.3", "", "pending"},
                                 {"10.0.0.4", "0", ""}};

// The member text of a new group: address and "(name)", the empty "()" gone, CR LF between.
TEST(ScanGroupMembers, EachFilterKeepsItsRowsInScanOrder) {
    EXPECT_EQ(ScanGroupMembers(Rows, QStringLiteral("活动")),
              QStringLiteral("10.0.0.1 (alpha)\r\n10.0.0.4"));
    EXPECT_EQ(ScanGroupMembers(Rows, QStringLiteral("非活动")), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(ScanGroupMembers(Rows, QStringLiteral("全部")),
              QStringLiteral("10.0.0.1 (alpha)\r\n10.0.0.2\r\n10.0.0.3 (pending)\r\n10.0.0.4"));
    EXPECT_EQ(ScanGroupMembers({{"10.0.0.1", "3", ""}}, QStringLiteral("非活动")), QString());
}

}  // namespace
}  // namespace sondrel
