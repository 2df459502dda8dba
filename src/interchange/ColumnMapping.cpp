#include "interchange/ColumnMapping.h"

#include "interchange/InterchangeError.h"

namespace {

int findColumn(const QStringList& columns, const QString& name)
{
    for (int c = 0; c < columns.size(); ++c) {
        if (columns.at(c).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return c;
    }
    const QString key = RecordingFields::key(name);
    for (int c = 0; c < columns.size(); ++c) {
        if (!key.isEmpty() && RecordingFields::key(columns.at(c)) == key)
            return c;
    }
    return -1;
}

} // namespace

ColumnMapping ColumnMapping::match(const QStringList& columns)
{
    ColumnMapping mapping;
    // Our own names first, so that "Notes" wins over another program's "Collection Notes".
    for (const bool ownNames : {true, false}) {
        for (int c = 0; c < columns.size(); ++c) {
            const int f =
                ownNames ? RecordingFields::forFieldName(columns.at(c)) : RecordingFields::forColumn(columns.at(c));
            if (f >= 0 && mapping.m_column.at(f) < 0 &&
                !std::count(mapping.m_column.begin(), mapping.m_column.end(), c))
                mapping.m_column.at(f) = c;
        }
    }
    return mapping;
}

void ColumnMapping::override(const QStringList& columns, const QString& items)
{
    for (const QString& item : items.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype equals = item.lastIndexOf(QLatin1Char('='));
        if (equals < 0)
            throw InterchangeError(QStringLiteral("--map takes SOURCE=Field items; '%1' has no '='.").arg(item));
        const QString source = item.left(equals).trimmed();
        const QString fieldName = item.mid(equals + 1).trimmed();
        const int c = findColumn(columns, source);
        if (c < 0)
            throw InterchangeError(QStringLiteral("The file has no column '%1'. Its columns are: %2.")
                                       .arg(source, columns.join(QStringLiteral(", "))));
        if (fieldName.isEmpty()) {
            moveColumn(-1, c);
            continue;
        }
        const int f = RecordingFields::forFieldName(fieldName);
        if (f < 0)
            throw InterchangeError(QStringLiteral("'%1' is not a field of a recording. The fields are: %2.")
                                       .arg(fieldName, RecordingFields::nameList()));
        moveColumn(f, c);
    }
}

void ColumnMapping::moveColumn(int field, int column)
{
    for (int& c : m_column) {
        if (c == column)
            c = -1;
    }
    if (field >= 0)
        m_column.at(field) = column;
}

bool ColumnMapping::isEmpty() const
{
    return std::all_of(m_column.begin(), m_column.end(), [](int c) { return c < 0; });
}
