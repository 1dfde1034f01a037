#include <gtest/gtest.h>

#include "app/schedule.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

QDateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

TEST(ScheduleTest, DisplayTextAndItsFieldsGoBothWays) {
    const ScheduleTime t = ScheduleTimeAt(At(2024, 9, 5, 14, 30, 59));
    EXPECT_EQ(t, (ScheduleTime{"2024", "09", "05", "14", "30"}));
    EXPECT_EQ(ScheduleDisplayText(t), "09/05/2024 14:30:00");
    EXPECT_EQ(ScheduleTimeOfDisplay("09/05/2024 14:30:00"), t);
    EXPECT_EQ(ScheduleMoment(t), At(2024, 9, 5, 14, 30));
}

// The editor pads its numbers and refuses dates the calendar does not have.
TEST(ScheduleTest, EditedTimesArePaddedAndImpossibleDatesRefused) {
    QString error;
    EXPECT_EQ(EditedScheduleTime("2027", "4", "30", "7", "5", &error),
              (ScheduleTime{"2027", "04", "30", "07", "05"}));
    for (const auto& [y, mo, d, h, mi] : {std::tuple{"2027", "4", "31", "7", "5"},
                                          {"2027", "2", "29", "0", "0"},
                                          {"2027", "13", "1", "0", "0"},
                                          {"2027", "1", "1", "24", "0"},
                                          {"2027", "1", "1", "0", "60"},
                                          {"", "1", "1", "0", "0"}}) {
        error.clear();
        EXPECT_FALSE(EditedScheduleTime(y, mo, d, h, mi, &error)) << y << mo << d << h << mi;
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(EditedScheduleTime("2028", "2", "29", "23", "59", &error));
}

// The start fires within its own minute and at any time after it, across every field.
TEST(ScheduleTest, StartIsReachedInItsMinuteAndAfter) {
    const ScheduleTime start{"2026", "12", "31", "23", "59"};
    EXPECT_FALSE(ScheduleStartReached(At(2026, 12, 31, 23, 58, 59), start));
    EXPECT_TRUE(ScheduleStartReached(At(2026, 12, 31, 23, 59, 0), start));
    EXPECT_TRUE(ScheduleStartReached(At(2027, 1, 1, 0, 0), start));
    EXPECT_FALSE(ScheduleStartReached(At(2026, 11, 30, 23, 59), start));
    EXPECT_TRUE(
        ScheduleStartReached(At(2026, 1, 1, 0, 0), ScheduleTime{"2025", "12", "31", "23", "59"}));
}

}  // namespace
}  // namespace sondrel
