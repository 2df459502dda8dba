#include "interchange/CsvWriter.h"

#include "shared/SpreadsheetText.h"

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

bool needsQuotes(QByteArrayView field)
{
    if (field.isEmpty())
        return false;
    if (isSpace(field.front()) || isSpace(field.back()))
        return true;
    for (const char c : field) {
        // Semicolons and tabs too: a reader that chooses its separator by counting them must not be
        // misled by a header or value that holds more of them than of commas.
        if (c == ',' || c == '"' || c == '\r' || c == '\n' || c == ';' || c == '\t')
            return true;
    }
    return false;
}

} // namespace

void CsvWriter::appendField(QByteArray& out, QByteArrayView utf8)
{
    SpreadsheetText::appendCell(out, utf8, needsQuotes(utf8));
}

void CsvWriter::appendRecord(QByteArray& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, fields.at(i).toUtf8());
    }
    out += "\r\n";
}
