#include "common/leading_number.h"

#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <limits>
#include <string>

namespace sondrel {

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads an ASCII number text that has already been checked, in the C locale whatever the
// process locale is. Never infinite: too large is clamped and reported, too small gives 0.
double ParseChecked(const std::string& ascii, bool* overflow = nullptr) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const double value = strtod_l(ascii.c_str(), nullptr, cLocale);
    if (!std::isinf(value))
        return value;
    if (overflow)
        *overflow = true;
    const double largest = std::numeric_limits<double>::max();
    return value < 0 ? -largest : largest;
}

// Length of the decimal number at `from` (digits with at most one point), and whether it
// holds at least one digit.
qsizetype DecimalLength(const QString& text, qsizetype from, bool* hasDigits) {
    bool point = false;
    qsizetype i = from;
    *hasDigits = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            *hasDigits = true;
        } else if (text[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    return i - from;
}

}  // namespace

double LeadingNumber(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    qsizetype i = start;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool hasDigits = false;
    i += DecimalLength(text, i, &hasDigits);
    if (!hasDigits)
        return 0.0;
    return ParseChecked(text.mid(start, i - start).toStdString());
}

qint32 WholeNumber(double value) {
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded >= double(std::numeric_limits<qint32>::max())) {
        return std::numeric_limits<qint32>::max();
    }
    if (rounded <= double(std::numeric_limits<qint32>::min())) {
        return std::numeric_limits<qint32>::min();
    }
    return qint32(rounded);
}

std::optional<double> ToDouble(const QString& text, QString* error) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    bool hasDigits = false;
    i += DecimalLength(t, i, &hasDigits);
    if (hasDigits && i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < t.size() && (t[j] == u'+' || t[j] == u'-'))
            ++j;
        const qsizetype digitsFrom = j;
        while (j < t.size() && IsDigit(t[j]))
            ++j;
        i = j > digitsFrom ? j : -1;
    }
    if (!hasDigits || i != t.size()) {
        if (error)
            *error = TypeMismatchError;
        return std::nullopt;
    }
    bool overflow = false;
    const double value = ParseChecked(t.toStdString(), &overflow);
    if (overflow) {
        if (error)
            *error = OverflowError;
        return std::nullopt;
    }
    return value;
}

std::optional<qint16> ToInt16(const QString& text, QString* error) {
    const std::optional<double> value = ToDouble(text, error);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < -32768.0 || rounded > 32767.0) {
        if (error)
            *error = OverflowError;
        return std::nullopt;
    }
    return qint16(rounded);
}

std::optional<qint32> WholeDivide(double dividend, double divisor, QString* error) {
    const double a = std::nearbyint(dividend);
    const double b = std::nearbyint(divisor);
    const double low = std::numeric_limits<qint32>::min();
    const double high = std::numeric_limits<qint32>::max();
    if (!(a >= low && a <= high && b >= low && b <= high)) {
        if (error)
            *error = OverflowError;
        return std::nullopt;
    }
    if (b == 0) {
        if (error)
            *error = DivisionByZeroError;
        return std::nullopt;
    }
    const qint64 quotient = qint64(a) / qint64(b);  // -2^31 / -1 fits in 64 bits
    if (quotient > std::numeric_limits<qint32>::max()) {
        if (error)
            *error = OverflowError;
        return std::nullopt;
    }
    return qint32(quotient);
}

QString NumberText(double value) {
    if (value == 0)
        return QStringLiteral("0");  // also -0
    if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
        return QString::number(qint64(value));
    }
    return QString::number(value, 'g', 15);
}

}  // namespace sondrel
