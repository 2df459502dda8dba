#pragma once

#include <QString>
#include <QStringView>

// Text as a search compares it: without case or accents, ligatures written out ("Ægis" reads as
// "aegis", "Motörhead" as "motorhead", "Straße" as "strasse").
namespace TextFolding {

QString fold(QStringView text);
// The same without the case folding: "Ægis" reads as "AEgis", "Motörhead" as "Motorhead".
QString withoutAccents(QStringView text);

} // namespace TextFolding
