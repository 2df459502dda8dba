#include "store/NumberText.h"

#include <cmath>
#include <limits>

namespace NumberText {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

int digitOf(QChar c)
{
    const char a = c.toLatin1();
    if (a >= '0' && a <= '9')
        return a - '0';
    if (a >= 'a' && a <= 'f')
        return a - 'a' + 10;
    if (a >= 'A' && a <= 'F')
        return a - 'A' + 10;
    return -1;
}

double radixNumber(QStringView text, qsizetype i, int radix)
{
    double value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitOf(text[i]);
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

} // namespace

double leadingNumber(QStringView text)
{
    // Blanks are skipped wherever they stand, as the old leading-number parse did ("1 2" reads 12).
    QByteArray digits;
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == QLatin1Char('&')) {
        const QChar kind = text[i + 1].toUpper();
        if (kind == QLatin1Char('H'))
            return radixNumber(text, i + 2, 16);
        if (kind == QLatin1Char('O'))
            return radixNumber(text, i + 2, 8);
        return 0;
    }
    bool seenDigit = false;
    bool seenPoint = false;
    bool inExponent = false;
    bool exponentDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isBlank(c))
            continue;
        const char a = c.toLatin1();
        if (a >= '0' && a <= '9') {
            digits += a;
            (inExponent ? exponentDigit : seenDigit) = true;
        } else if ((a == '+' || a == '-') && (digits.isEmpty() || (inExponent && digits.endsWith('e')))) {
            digits += a;
        } else if (a == '.' && !seenPoint && !inExponent) {
            digits += a;
            seenPoint = true;
        } else if ((a == 'e' || a == 'E' || a == 'd' || a == 'D') && seenDigit && !inExponent) {
            digits += 'e';
            inExponent = true;
        } else {
            break;
        }
    }
    if (inExponent && !exponentDigit) {
        while (!digits.isEmpty() && (digits.endsWith('e') || digits.endsWith('+') || digits.endsWith('-')))
            digits.chop(1);
    }
    if (!seenDigit)
        return 0;
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok ? value : 0;
}

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // the default rounding mode sends halves to even
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

} // namespace NumberText
