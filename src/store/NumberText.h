#pragma once

#include <QStringView>

// Reading numbers out of text the way the collection's older tools did.
namespace NumberText {

// The number at the start of the text: white space is skipped, an optional sign, digits, one
// decimal point and an exponent are read, "&H" and "&O" prefixes give hexadecimal and octal, and
// reading stops at the first character that cannot continue the number. Nothing readable gives 0.
double leadingNumber(QStringView text);

// To the nearest whole number, halves to the even neighbour, clamped to the range of int.
int roundHalfEven(double value);

} // namespace NumberText
