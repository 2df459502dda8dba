#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Texts written for a spreadsheet to read (an export, the grid's copy) that it would take for a
// formula (=, +, -, @, or a leading tab or carriage return) are written after an apostrophe, the
// usual mark that keeps a cell as text. A text that begins with an apostrophe gets one more, so
// that reading back takes exactly one away and gives the original.
namespace SpreadsheetText {

// Whether the text, as UTF-8, is written after an apostrophe.
bool needsMark(QByteArrayView utf8);
// A text read back: without the one apostrophe that marked it.
QString unmarked(const QString& text);
// Appends a cell, marked where it needs it; a quoted one in quotes with its own quotes doubled.
void appendCell(QByteArray& out, QByteArrayView utf8, bool quoted);

} // namespace SpreadsheetText
