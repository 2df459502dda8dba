#include "interchange/NotesExtra.h"

#include "interchange/ColumnMapping.h"
#include "interchange/ImportSource.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// The collection export's columns, by their key, under the names a collector uses.
const QHash<QString, QString>& shortHeadings()
{
    static const QHash<QString, QString> headings = {
        {QStringLiteral("collectionmediacondition"), QStringLiteral("Media")},
        {QStringLiteral("collectionsleevecondition"), QStringLiteral("Sleeve")},
        {QStringLiteral("dateadded"), QStringLiteral("Added")},
        {QStringLiteral("collectionfolder"), QStringLiteral("Folder")},
        {QStringLiteral("releaseid"), QStringLiteral("Release ID")},
    };
    return headings;
}

} // namespace

NotesExtra::NotesExtra(const ImportSource& source, const ColumnMapping& mapping)
{
    const QStringList names = source.columns();
    for (int c = 0; c < names.size(); ++c) {
        bool fills = false;
        for (int f = 0; f < RecordingFields::Count && !fills; ++f)
            fills = mapping.column(f) == c;
        if (!fills) {
            const QString name = names.at(c).trimmed();
            m_columns.append({c, names.at(c), name.isEmpty() ? QStringLiteral("Column %1").arg(c + 1) : heading(name)});
        }
    }
}

QStringList NotesExtra::columns() const
{
    QStringList names;
    for (const Column& column : m_columns)
        names.append(column.name);
    return names;
}

QString NotesExtra::heading(const QString& column)
{
    return shortHeadings().value(RecordingFields::key(column), column.trimmed());
}

QString NotesExtra::shown(const QString& heading, const QString& value)
{
    static const QRegularExpression dateAndTime(QStringLiteral(R"(^(\d{4}-\d\d-\d\d)[ T]\d\d:\d\d(:\d\d)?$)"));
    const QString v = value.trimmed();
    if (heading == QLatin1String("Folder") && v.compare(QLatin1String("Uncategorized"), Qt::CaseInsensitive) == 0)
        return QString();
    if (heading == QLatin1String("Added")) {
        if (const QRegularExpressionMatch m = dateAndTime.match(v); m.hasMatch())
            return m.captured(1);
    }
    return v;
}

QString NotesExtra::text(const ImportSource& source, int row) const
{
    QString out;
    for (const Column& column : m_columns) {
        const QString value = shown(column.heading, source.value(row, column.index));
        if (value.isEmpty())
            continue;
        if (!out.isEmpty())
            out += QStringLiteral("; ");
        out += column.heading + QStringLiteral(": ") + value;
    }
    return out;
}

QString NotesExtra::appended(const QString& notes, const QString& text)
{
    if (text.isEmpty())
        return notes;
    if (notes.trimmed().isEmpty())
        return text;
    return notes.endsWith(QLatin1Char('\n')) ? notes + text : notes + QLatin1Char('\n') + text;
}
