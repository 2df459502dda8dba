#pragma once

#include "shared/DisplayModel.h"

#include <QList>

class QMimeData;

// The display as the clipboard carries it: tab-separated lines, each ended by CR LF, a cell holding
// a tab or a line break in quotes as spreadsheets read them, and beside them an HTML table of the
// same cells.
// The rows go in the order given (the order the grid shows them); the headings come first.
class DisplayClipboard
{
public:
    static QString plainText(const DisplayModel::Rows& rows, const QList<int>& order);
    static QString html(const DisplayModel::Rows& rows, const QList<int>& order);
    // The plain text now; the HTML table only when a program asks for it, from the same rows.
    static QMimeData* mimeData(const DisplayModel::Rows& rows, const QList<int>& order);
};
