#include "report/record_stamps.h"

#include "report_fixture.h"
#include "support/qt_printers.h"

namespace sondrel::testing {
namespace {

// The date and time texts are made without asking the locale for every record: they must
// still be exactly the locale's short date and long time, in 12- and 24-hour locales.
TEST(RecordStamps, TextsAreTheLocalesShortDateAndLongTime) {
    for (const char* name : {"C", "en_US", "de_DE", "zh_CN", "ko_KR", "fi_FI", "en_GB"}) {
        const QLocale locale{QString::fromLatin1(name)};
        StampFormatter stamps(locale);
        QDateTime when(QDate(2024, 12, 31), QTime(0, 0, 7));
        for (int step = 0; step < 300; ++step) {
            ReplyRecord r;
            r.setStamp(when);
            const QString expected = locale.toString(when.date(), QLocale::ShortFormat) + " " +
                                     locale.toString(when.time(), QLocale::LongFormat);
            ASSERT_EQ(stamps.dateTime(r), expected) << name;
            if (step % 3 == 0) {  // the same second again comes from the kept texts
                ASSERT_EQ(stamps.dateTime(r), expected) << name;
            }
            when = when.addSecs(step % 2 ? 1 : 277);
        }
    }
}

TEST(RecordStamps, ARecordThatIsNoDateGivesNothingAndTheNextIsRightAgain) {
    StampFormatter stamps = FixedStamps();
    ReplyRecord good;
    good.setStamp(At(10, 0, 1));
    EXPECT_EQ(stamps.dateTime(good), QStringLiteral("2024-03-05 10:00:01"));
    ReplyRecord badTime = good;
    badTime.month = {'0', '6'};  // a new date, but the time reads no number
    badTime.hour = {'x', '1'};
    EXPECT_EQ(stamps.dateTime(badTime), QString());
    ReplyRecord sameTimeNewDate = good;
    sameTimeNewDate.month = {'0', '6'};
    EXPECT_EQ(stamps.dateTime(sameTimeNewDate), QStringLiteral("2024-06-05 10:00:01"));
    ReplyRecord badDate = good;
    badDate.day = {'3', '2'};
    QString out = QStringLiteral("x");
    EXPECT_FALSE(stamps.appendDateTime(out, badDate));
    EXPECT_EQ(out, QStringLiteral("x"));
    EXPECT_TRUE(stamps.appendDateTime(out, good));
    EXPECT_EQ(out, QStringLiteral("x2024-03-05 10:00:01"));
}

}  // namespace
}  // namespace sondrel::testing
