#include "store/Catalogue.h"

#include "store/EngineError.h"
#include "store/Statement.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

// Text columns compare without regard to case. No index is put on a text column: the catalogue's
// NOCASE folds every letter, and an index built under another NOCASE would answer wrongly.
const char* const kSchema[] = {
    "CREATE TABLE Recording ("
    " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Artist TEXT COLLATE NOCASE,"
    " Title TEXT COLLATE NOCASE,"
    " Year TEXT COLLATE NOCASE,"
    " Label TEXT COLLATE NOCASE,"
    " Catalogue_No TEXT COLLATE NOCASE,"
    " International_Catalogue_No TEXT COLLATE NOCASE,"
    " Notes TEXT COLLATE NOCASE,"
    " Format INTEGER)",
    "CREATE TABLE Format ("
    " ID INTEGER PRIMARY KEY,"
    " Description TEXT COLLATE NOCASE NOT NULL CHECK (Description <> ''))",
    // A recording whose format is gone still shows, with an empty Format cell.
    "CREATE VIEW Expanded_Recording AS SELECT"
    " Recording.ID AS ID, Recording.Artist AS Artist, Recording.Title AS Title, Recording.Year AS Year,"
    " Format.Description AS Format, Recording.Label AS Label, Recording.Catalogue_No AS Catalogue_No,"
    " Recording.Notes AS Notes, Recording.International_Catalogue_No AS International_Catalogue_No"
    " FROM Recording LEFT JOIN Format ON Format.ID = Recording.Format",
};

} // namespace

QString Catalogue::displayStatement(const QString& where, const QString& order)
{
    QString sql = QStringLiteral("SELECT * FROM Expanded_Recording");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    sql += QStringLiteral(" ORDER BY ") + (order.isEmpty() ? QStringLiteral("Artist, Year") : order);
    return sql;
}

QString Catalogue::deleteRecordingStatement(qint64 id)
{
    return QStringLiteral("DELETE FROM Recording WHERE ID = %1;").arg(id);
}

QString Catalogue::formatListStatement()
{
    return QStringLiteral("SELECT * FROM FORMAT ORDER BY ID;");
}

QString Catalogue::formatUseCountStatement(qint64 formatId)
{
    return QStringLiteral("SELECT Count(*) AS Count FROM Recording WHERE Format = %1").arg(formatId);
}

QString Catalogue::deleteFormatsStatement()
{
    return QStringLiteral("DELETE FROM Format");
}

QString Catalogue::highestFormatInUseStatement()
{
    return QStringLiteral("SELECT Max(Format) AS MaxFormat FROM Recording");
}

QString Catalogue::recordingsOfFormatsOtherThanStatement(const QList<qint64>& formatIds)
{
    QStringList ids;
    for (const qint64 id : formatIds)
        ids << QString::number(id);
    QString sql = QStringLiteral("SELECT Count(*) AS Count FROM Recording WHERE Format IN (SELECT ID FROM Format)");
    if (!ids.isEmpty())
        sql += QStringLiteral(" AND Format NOT IN (%1)").arg(ids.join(QStringLiteral(", ")));
    return sql;
}

QStringList Catalogue::starterFormats()
{
    return {QStringLiteral("LP"),          QStringLiteral("EP"),           QStringLiteral("Single"),
            QStringLiteral("12\" Single"), QStringLiteral("78"),           QStringLiteral("Cassette"),
            QStringLiteral("8-Track"),     QStringLiteral("Reel-to-Reel"), QStringLiteral("CD"),
            QStringLiteral("CD Single"),   QStringLiteral("MiniDisc"),     QStringLiteral("DVD-Audio"),
            QStringLiteral("SACD"),        QStringLiteral("Download")};
}

void Catalogue::create(const QString& path)
{
    if (QFileInfo::exists(path))
        throw EngineError(
            EngineError::Kind::General,
            QStringLiteral("'%1' already exists; a new catalogue is never written over a file.").arg(path));

    // Built under a temporary name and renamed when complete, so a failure leaves no half catalogue.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(building).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw EngineError::fromSqlite(db, rc, QStringLiteral("Cannot create '%1'").arg(path));
        Statement(db, QStringLiteral("BEGIN")).step();
        for (const char* sql : kSchema)
            Statement(db, QString::fromUtf8(sql)).step();
        const QStringList formats = starterFormats();
        for (int i = 0; i < formats.size(); ++i) {
            Statement add(db, QStringLiteral("INSERT INTO Format (ID, Description) VALUES (?1, ?2)"));
            add.bind(1, i + 1);
            add.bind(2, formats.at(i));
            add.step();
        }
        Statement(db, QStringLiteral("COMMIT")).step();
    } catch (...) {
        sqlite3_close_v2(db);
        QFile::remove(building);
        throw;
    }
    sqlite3_close_v2(db);
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        throw EngineError(EngineError::Kind::General, QStringLiteral("Cannot create '%1'.").arg(path));
    }
}
