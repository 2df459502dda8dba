#include "interchange/RecordingFields.h"

#include <QHash>
#include <QStringList>

namespace RecordingFields {

namespace {

const char* const kNames[Count] = {
    "Artist", "Title", "Year", "Format", "Label", "Catalogue_No", "International_Catalogue_No", "Notes"};
const char* const kHeadings[Count] = {
    "Artist", "Title", "Year", "Format", "Label", "Catalogue No.", "International Catalogue No.", "Notes"};

// Column names of other programs' exports and of hand-made spreadsheets, by key.
const QHash<QString, int>& otherNames()
{
    static const QHash<QString, int> names = {
        {QStringLiteral("catalog"), CatalogueNo},
        {QStringLiteral("catalogno"), CatalogueNo},
        {QStringLiteral("catalognumber"), CatalogueNo},
        {QStringLiteral("cataloguenumber"), CatalogueNo},
        {QStringLiteral("catno"), CatalogueNo},
        {QStringLiteral("released"), Year},
        {QStringLiteral("collectionnotes"), Notes},
        {QStringLiteral("internationalcatalogno"), InternationalCatalogueNo},
        {QStringLiteral("band"), Artist},
        {QStringLiteral("album"), Title},
        {QStringLiteral("media"), Format},
        {QStringLiteral("recordlabel"), Label},
    };
    return names;
}

} // namespace

QString name(int field)
{
    return QLatin1String(kNames[field]);
}

QString nameList()
{
    QStringList names;
    for (int f = 0; f < Count; ++f)
        names.append(name(f));
    return names.join(QStringLiteral(", "));
}

QString heading(int field)
{
    return QLatin1String(kHeadings[field]);
}

QString key(const QString& name)
{
    QString k;
    k.reserve(name.size());
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            k += c.toCaseFolded();
    }
    return k;
}

int forFieldName(const QString& fieldName)
{
    const QString k = key(fieldName);
    for (int f = 0; f < Count; ++f) {
        if (k == key(name(f)) || k == key(heading(f)))
            return f;
    }
    return -1;
}

int forColumn(const QString& columnName)
{
    const int f = forFieldName(columnName);
    return f >= 0 ? f : otherNames().value(key(columnName), -1);
}

} // namespace RecordingFields
