#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// Copies of the catalogue kept in a "backups" folder beside it, made with SQLite's online backup so
// that a copy is whole even while another program writes. Each is named by the date and time it
// was made; only the newest few are kept. Every failure is thrown as EngineError.
namespace CatalogueBackup {

struct Copy
{
    QString path;
    QDateTime made;
    int recordings = -1; // -1 when the copy cannot be read
};

QString folderOf(const QString& catalogue);

// The copies of the catalogue, newest first.
QList<Copy> copies(const QString& catalogue);

// Makes a copy when the catalogue changed since the newest one was made, and keeps the newest
// `keep` of them. The path of the copy made, or the empty string when none was needed.
QString makeIfChanged(Database& catalogue, int keep);

// Makes a copy whatever the newest one holds; its path.
QString make(Database& catalogue, int keep);

// Puts the copy's recordings and formats in place of the catalogue's, in one step; the catalogue
// as it was is kept as one more copy first.
void restore(Database& catalogue, const QString& copy, int keep);

} // namespace CatalogueBackup
