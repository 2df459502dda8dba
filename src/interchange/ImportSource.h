#pragma once

#include <QString>
#include <QStringList>

// Rows of named columns read from a file, ready to be matched to a recording's fields.
class ImportSource
{
public:
    virtual ~ImportSource() = default;

    virtual QStringList columns() const = 0;
    virtual int rowCount() const = 0;
    // The text of a row's column; empty for a column the row does not have, and for Null.
    virtual QString value(int row, int column) const = 0;
    // Where a row stands in the file, for messages ("line 12", "row 12").
    virtual QString rowPlace(int row) const = 0;
    // True when the source is the collection export of the online music database, whose columns
    // carry disambiguation numbers, "0" years and comma-joined format descriptions.
    virtual bool isCollectionExport() const { return false; }
    // The format a column's value names, where the source keeps formats by number.
    virtual QString formatText(int column, const QString& value) const
    {
        Q_UNUSED(column);
        return value;
    }
};
