#include <gtest/gtest.h>

#include "engine/result_scroll.h"

namespace sondrel {
namespace {

// After a run the bar follows the newest record, as the probes left it.
ResultScroll afterRun(qint32 probes) {
    ResultScroll scroll;
    for (qint32 i = 0; i < probes; ++i)
        scroll.setup(i, i);
    return scroll;
}

TEST(ResultScroll, FifteenRecordsDoNotScroll) {
    ResultScroll scroll = afterRun(15);
    EXPECT_EQ(scroll.maximum(), 0);
    EXPECT_EQ(scroll.moved(0, true), 0);
    EXPECT_EQ(scroll.moved(0, false), 0);
}

TEST(ResultScroll, HundredRecordsMoveByRowAndPage) {
    ResultScroll scroll = afterRun(100);
    EXPECT_EQ(scroll.maximum(), 80);
    EXPECT_EQ(scroll.value(), 80);
    EXPECT_EQ(scroll.moved(0, true), 0);     // thumb to the top: records 1-20
    EXPECT_EQ(scroll.moved(20, false), 20);  // page down: 21-40
    EXPECT_EQ(scroll.moved(21, false), 21);  // arrow: one record
    EXPECT_EQ(scroll.moved(80, true), 80);   // thumb to the end
    EXPECT_EQ(scroll.moved(79, false), 79);
}

TEST(ResultScroll, TenThousandRecordsUseAScaledBar) {
    ResultScroll scroll = afterRun(10000);
    EXPECT_EQ(scroll.maximum(), 200);
    EXPECT_EQ(scroll.value(), 200);
    EXPECT_EQ(scroll.moved(100, true), 4990);  // the middle
    EXPECT_EQ(scroll.value(), 100);
    EXPECT_EQ(scroll.moved(101, false), 4991);  // an arrow still moves one record
    EXPECT_EQ(scroll.value(), 100);             // the scaled bar stays near the middle
    EXPECT_EQ(scroll.moved(120, false), 5011);  // a page twenty
    EXPECT_EQ(scroll.moved(0, true), 0);
    EXPECT_EQ(scroll.value(), 0);
    EXPECT_EQ(scroll.moved(1, false), 1);
    EXPECT_EQ(scroll.value(), 1);
    EXPECT_EQ(scroll.moved(200, true), 9980);
}

TEST(ResultScroll, NearTheEndsTheScaledValueKeepsOffTheLimits) {
    ResultScroll scroll;
    scroll.setup(9999, 19 + 5);  // first shown 5: t = 0.1
    EXPECT_EQ(scroll.value(), 2);
    scroll.setup(9999, 19 + 9975);  // t = 199.9
    EXPECT_EQ(scroll.value(), 198);
}

TEST(ResultScroll, ReloadStartsAtTheTop) {
    ResultScroll scroll;
    scroll.setup(4999, 0);
    EXPECT_EQ(scroll.maximum(), 200);
    EXPECT_EQ(scroll.value(), 0);
    EXPECT_EQ(scroll.moved(20, false), 1);  // from the reload's start the first move lands at 1
}

}  // namespace
}  // namespace sondrel
