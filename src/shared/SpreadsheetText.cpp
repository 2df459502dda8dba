#include "shared/SpreadsheetText.h"

namespace {

bool startsAFormula(char c)
{
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r' || c == '\'';
}

} // namespace

namespace SpreadsheetText {

bool needsMark(QByteArrayView utf8)
{
    return !utf8.isEmpty() && startsAFormula(utf8.front());
}

QString unmarked(const QString& text)
{
    if (text.size() >= 2 && text.front() == QLatin1Char('\'') && text.at(1).unicode() < 0x80 &&
        startsAFormula(static_cast<char>(text.at(1).unicode())))
        return text.mid(1);
    return text;
}

void appendCell(QByteArray& out, QByteArrayView utf8, bool quoted)
{
    if (quoted)
        out += '"';
    if (needsMark(utf8))
        out += '\'';
    if (!quoted) {
        out.append(utf8);
        return;
    }
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace SpreadsheetText
