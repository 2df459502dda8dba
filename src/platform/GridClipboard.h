#pragma once

#include "platform/GridModel.h"

class QMimeData;

// The grid as the clipboard carries it: tab-separated lines, each ended by CR LF, and beside them
// an HTML table of the same cells, so that a spreadsheet pastes a cell holding line breaks whole.
class GridClipboard
{
public:
    static QString plainText(const GridModel::Contents& contents);
    static QString html(const GridModel::Contents& contents);
    // The plain text now; the HTML table only when a program asks for it.
    static QMimeData* mimeData(const GridModel::Contents& contents);
};
