#pragma once

#include <array>
#include <QString>

// The fields of a recording that import and export carry, in the order a CSV file of ours lists
// them.
namespace RecordingFields {

enum Field { Artist, Title, Year, Format, Label, CatalogueNo, InternationalCatalogueNo, Notes, Count };

// The catalogue's column name of each field ("Catalogue_No").
QString name(int field);
// Every field's name, joined by ", ", for messages.
QString nameList();
// The grid's heading of each field ("Catalogue No.").
QString heading(int field);

// A column or field name reduced to its letters and digits, lower case: "Catalogue No." and
// "catalogue_no" both read "catalogueno".
QString key(const QString& name);

// The field a source column of that name fills: a field name, a heading of the grid, or a name
// other programs use for it ("Catalog#", "Released", "Collection Notes"); -1 for none.
int forColumn(const QString& columnName);
// The field of that name or heading only; -1 for none.
int forFieldName(const QString& fieldName);

} // namespace RecordingFields
