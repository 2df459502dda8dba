#pragma once

#include "interchange/RecordingFields.h"

#include <array>
#include <QString>
#include <QStringList>

// Which column of a source fills each field of a recording.
class ColumnMapping
{
public:
    ColumnMapping() { m_column.fill(-1); }

    // Columns matched by name without regard to case, spaces or punctuation: the field names, the
    // grid's headings and other programs' names. The first column of a name wins.
    static ColumnMapping match(const QStringList& columns);

    // Applies "SOURCE=Field,..." over the matched columns: each SOURCE column fills that field
    // instead ("SOURCE=" leaves the column out). Throws InterchangeError for a column the source
    // does not have or a field a recording does not have.
    void override(const QStringList& columns, const QString& items);

    int column(int field) const { return m_column.at(field); }
    // Fills the field from that column (-1: from none); other fields may keep it too.
    void setColumn(int field, int column) { m_column.at(field) = column; }
    // Fills the field from that column and no other from it; field -1 leaves the column out.
    void moveColumn(int field, int column);
    bool isEmpty() const;

private:
    std::array<int, RecordingFields::Count> m_column;
};
