#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ColumnMapping;
class ImportSource;

// The columns of a file that fill no field, kept in a recording's Notes when the user asks for
// them: "Rating: 4; Media: Very Good Plus (VG+); Added: 2020-11-12".
class NotesExtra
{
public:
    NotesExtra() = default;
    NotesExtra(const ImportSource& source, const ColumnMapping& mapping);

    // The columns that fill no field, as the file names them.
    QStringList columns() const;
    // The row's values of those columns, each after its heading, joined by "; "; empty values and
    // the collection export's words for none are left out.
    QString text(const ImportSource& source, int row) const;

    // The notes with the text on a line of its own after them.
    static QString appended(const QString& notes, const QString& text);
    // What a column's value stands under: the collection export's long names shortened
    // ("Collection Media Condition" is "Media"), any other name as it is.
    static QString heading(const QString& column);

private:
    struct Column
    {
        int index = 0;
        QString name;
        QString heading;
    };
    static QString shown(const QString& heading, const QString& value);

    QList<Column> m_columns;
};
