#pragma once

#include <QString>

// What makes a row of a file a release the catalogue holds already: the same Artist, Title, Label
// and Catalogue No., without regard to case, accents, the online database's " (2)" after a name,
// or "none" standing for no number. The format is not part of it, so that formats renamed or
// merged in the catalogue do not make the next import add the releases again.
namespace ReleaseKey {

// Empty when the four say nothing: such rows (a Year and Notes only, say) are told apart by none of
// them, so no key may make one of them stand for another.
QString of(const QString& artist, const QString& title, const QString& label, const QString& catalogueNo);

// The online database's number telling names alike apart, "Nirvana (2)", taken away, also before
// the next name of a joined credit ("Hüsker Dü (2) & Bob Mould (2)").
QString withoutNumber(const QString& name);
// The collection export's word for a release without a catalogue number.
bool isNoNumber(const QString& catalogueNo);

} // namespace ReleaseKey
