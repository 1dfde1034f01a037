#pragma once

#include <QString>
#include <optional>

namespace sondrel {

// Descriptions of the conversion failures, worded as the run-time errors the messages quote.
inline const QString TypeMismatchError = QStringLiteral("类型不匹配");
inline const QString OverflowError = QStringLiteral("溢出");
inline const QString DivisionByZeroError = QStringLiteral("除数为零");
inline const QString InvalidArgumentError = QStringLiteral("无效的过程调用或参数");

// The leading number of a box text: leading spaces skipped, then the longest decimal number
// (optional sign, at most one decimal point, no exponent); the rest is ignored. 0 when there
// is none. Never infinite: numbers too large for a double are clamped to the largest one.
double LeadingNumber(const QString& text);

// Rounds to the nearest whole number, ties to even; saturates at the 32-bit limits, NaN is 0.
qint32 WholeNumber(double value);

// Strict conversion of a whole text to a number: blanks around it allowed, then an optional
// sign, digits with one optional decimal point and an optional exponent. A text that is not a
// number fails with TypeMismatchError, a number out of range with OverflowError.
std::optional<double> ToDouble(const QString& text, QString* error = nullptr);

// The text as a 16-bit integer: converted as ToDouble, rounded ties to even, and failing with
// OverflowError outside -32768..32767.
std::optional<qint16> ToInt16(const QString& text, QString* error = nullptr);

// Whole-number division: both operands rounded to 32-bit integers first (OverflowError when
// they do not fit), DivisionByZeroError for a divisor of 0, the quotient truncated toward 0.
std::optional<qint32> WholeDivide(double dividend, double divisor, QString* error = nullptr);

// A number as the boxes show it: whole numbers without a decimal point, others with the
// digits they need.
QString NumberText(double value);

}  // namespace sondrel
