#include "common/leading_number.h"

#include <gtest/gtest.h>

#include <limits>

namespace sondrel {
namespace {

TEST(LeadingNumber, TakesTheLongestLeadingDecimal) {
    EXPECT_EQ(LeadingNumber(QStringLiteral("600 毫秒")), 600);
    EXPECT_EQ(LeadingNumber(QStringLiteral("Continually")), 0);
    EXPECT_EQ(LeadingNumber(QStringLiteral(" -3.5x")), -3.5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("1e5")), 1);
    EXPECT_EQ(LeadingNumber(QStringLiteral(".")), 0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("")), 0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("+7")), 7);
    EXPECT_EQ(LeadingNumber(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("1.2.3")), 1.2);
    EXPECT_EQ(LeadingNumber(QStringLiteral("- 5")), 0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("1000 to 0, 10--, 1")), 1000);
    // Digits of other scripts are not numbers here.
    EXPECT_EQ(LeadingNumber(QStringLiteral("٣")), 0);
}

TEST(LeadingNumber, HugeDigitStringsStayFinite) {
    const QString digits(5000, u'9');
    EXPECT_EQ(LeadingNumber(digits), std::numeric_limits<double>::max());
    EXPECT_EQ(LeadingNumber(u'-' + digits), -std::numeric_limits<double>::max());
    EXPECT_EQ(WholeNumber(LeadingNumber(digits)), std::numeric_limits<qint32>::max());
}

TEST(WholeNumber, RoundsTiesToEvenAndSaturates) {
    EXPECT_EQ(WholeNumber(0.5), 0);
    EXPECT_EQ(WholeNumber(1.5), 2);
    EXPECT_EQ(WholeNumber(2.5), 2);
    EXPECT_EQ(WholeNumber(-2.5), -2);
    EXPECT_EQ(WholeNumber(2.6), 3);
    EXPECT_EQ(WholeNumber(1e12), std::numeric_limits<qint32>::max());
    EXPECT_EQ(WholeNumber(-1e12), std::numeric_limits<qint32>::min());
    EXPECT_EQ(WholeNumber(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ToInt16, ConvertsNumericTextOrFails) {
    QString error;
    EXPECT_EQ(ToInt16(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(ToInt16(QStringLiteral("2.5")), 2);
    EXPECT_EQ(ToInt16(QStringLiteral("-32768")), -32768);
    EXPECT_EQ(ToInt16(QStringLiteral("1e3")), 1000);
    EXPECT_FALSE(ToInt16(QStringLiteral("32767.5"), &error));
    EXPECT_EQ(error, OverflowError);
    EXPECT_FALSE(ToInt16(QString(400, u'9'), &error));
    EXPECT_EQ(error, OverflowError);
    for (const char* bad : {"", "abc", "12abc", "1e", ".", "--1", "nan", "inf", "0x10"}) {
        error.clear();
        EXPECT_FALSE(ToInt16(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_EQ(error, TypeMismatchError) << bad;
    }
}

TEST(WholeDivide, RoundsOperandsAndReportsFailures) {
    QString error;
    EXPECT_EQ(WholeDivide(31968, 32), 999);
    EXPECT_EQ(WholeDivide(-7, 2), -3);
    EXPECT_EQ(WholeDivide(10, 2.5), 5);  // the divisor rounds to 2
    EXPECT_FALSE(WholeDivide(10, 0.4, &error));
    EXPECT_EQ(error, DivisionByZeroError);
    EXPECT_FALSE(WholeDivide(1e12, 3, &error));
    EXPECT_EQ(error, OverflowError);
    EXPECT_FALSE(WholeDivide(-2147483648.0, -1, &error));
    EXPECT_EQ(error, OverflowError);
}

TEST(NumberText, ShowsWholeNumbersWithoutAPoint) {
    EXPECT_EQ(NumberText(1000), QStringLiteral("1000"));
    EXPECT_EQ(NumberText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(NumberText(-10), QStringLiteral("-10"));
    EXPECT_EQ(NumberText(1.25), QStringLiteral("1.25"));
}

}  // namespace
}  // namespace sondrel
