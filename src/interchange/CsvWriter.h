#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Records written as CSV: UTF-8, comma-separated, CR LF at each record's end, and a field quoted
// only when it holds a comma, a semicolon, a tab, a quote, a line break, or spaces at either end
// (which some readers drop), its quotes doubled. A field a spreadsheet would run as a formula is
// written after an apostrophe (SpreadsheetText), which CsvReader takes away again.
class CsvWriter
{
public:
    // The file's first bytes: the UTF-8 byte-order mark, by which spreadsheets recognise UTF-8.
    static QByteArray byteOrderMark() { return QByteArrayLiteral("\xEF\xBB\xBF"); }

    // Appends one record to out.
    static void appendRecord(QByteArray& out, const QStringList& fields);
    // Appends one field, given as UTF-8, to out.
    static void appendField(QByteArray& out, QByteArrayView utf8);
};
