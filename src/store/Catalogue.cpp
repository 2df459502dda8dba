#include "store/Catalogue.h"

#include "store/EngineError.h"
#include "store/Statement.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <unistd.h>

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

// The system's reason an engine call failed ("Permission denied", "Read-only file system"), or the
// engine's own when the system gave none.
QString SystemReason(sqlite3* db, int rc)
{
    const int error = db ? sqlite3_system_errno(db) : 0;
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QString::fromUtf8(sqlite3_errstr(rc));
}

} // namespace

QString Catalogue::displayStatement(const QString& where, const QString& order)
{
    QString sql = QStringLiteral("SELECT * FROM [Expanded_Recording]");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    // Plain names: an unclosed bracket of the condition must not close on one of ours.
    sql += QStringLiteral(" ORDER BY ") + (order.isEmpty() ? QStringLiteral("Artist, Year") : order);
    return sql;
}

QString Catalogue::deleteRecordingStatement(qint64 id)
{
    return QStringLiteral("DELETE FROM [Recording] WHERE [ID] = %1;").arg(id);
}

QString Catalogue::formatListStatement()
{
    return QStringLiteral("SELECT * FROM [Format] ORDER BY [ID];");
}

QString Catalogue::formatUseCountStatement(qint64 formatId)
{
    return QStringLiteral("SELECT Count(*) AS [Count] FROM [Recording] WHERE [Format] = %1").arg(formatId);
}

QString Catalogue::deleteFormatsStatement()
{
    return QStringLiteral("DELETE FROM [Format]");
}

QString Catalogue::highestFormatInUseStatement()
{
    return QStringLiteral("SELECT Max([Format]) AS [MaxFormat] FROM [Recording]");
}

QString Catalogue::recordingsOfFormatsOtherThanStatement(const QList<qint64>& formatIds)
{
    QStringList ids;
    for (const qint64 id : formatIds)
        ids << QString::number(id);
    QString sql =
        QStringLiteral("SELECT Count(*) AS [Count] FROM [Recording] WHERE [Format] IN (SELECT [ID] FROM [Format])");
    if (!ids.isEmpty())
        sql += QStringLiteral(" AND [Format] NOT IN (%1)").arg(ids.join(QStringLiteral(", ")));
    return sql;
}

QString Catalogue::recordingsOfFormatsStatement(const QList<qint64>& formatIds)
{
    QStringList ids;
    for (const qint64 id : formatIds)
        ids << QString::number(id);
    return QStringLiteral("SELECT Count(*) AS [Count] FROM [Recording] WHERE [Format] IN (%1)")
        .arg(ids.join(QStringLiteral(", ")));
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

    // The folder is looked at first: the engine's own word for it ("unable to open database file")
    // does not tell the user what to put right.
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.exists())
        throw EngineError(EngineError::Kind::General,
                          QStringLiteral("Cannot create '%1': the folder '%2' does not exist.")
                              .arg(path, QDir::toNativeSeparators(folder.filePath())));
    if (!folder.isDir())
        throw EngineError(EngineError::Kind::General,
                          QStringLiteral("Cannot create '%1': '%2' is a file, not a folder.")
                              .arg(path, QDir::toNativeSeparators(folder.filePath())));
    if (::faccessat(AT_FDCWD, QFile::encodeName(folder.filePath()).constData(), W_OK | X_OK, AT_EACCESS) != 0) {
        const int error = errno;
        throw EngineError(
            error == EACCES || error == EPERM ? EngineError::Kind::PermissionDenied : EngineError::Kind::General,
            QStringLiteral("Cannot create '%1': Varolin may not write in the folder '%2' (%3).")
                .arg(path, QDir::toNativeSeparators(folder.filePath()), QString::fromLocal8Bit(std::strerror(error))));
    }

    // Built under a temporary name and renamed when complete, so a failure leaves no half catalogue.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(building).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = SystemReason(db, rc);
        sqlite3_close_v2(db);
        QFile::remove(building);
        throw EngineError(EngineError::Kind::General, QStringLiteral("Cannot create '%1': %2.").arg(path, reason));
    }
    try {
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
    } catch (const EngineError& e) {
        sqlite3_close_v2(db);
        QFile::remove(building);
        throw EngineError(e.kind(), QStringLiteral("Cannot create '%1': %2").arg(path, e.description()));
    }
    sqlite3_close_v2(db);
    QFile built(building);
    if (!built.rename(path)) {
        const QString reason = built.errorString();
        QFile::remove(building);
        throw EngineError(EngineError::Kind::General, QStringLiteral("Cannot create '%1': %2.").arg(path, reason));
    }
}
