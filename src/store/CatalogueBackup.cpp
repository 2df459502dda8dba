#include "store/CatalogueBackup.h"

#include "store/Database.h"
#include "store/EngineError.h"
#include "store/Statement.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <algorithm>
#include <functional>

namespace CatalogueBackup {

namespace {

// Down to the thousandth of a second, so that names sort as the copies were made.
const QString kStamp = QStringLiteral("yyyy-MM-dd-HHmmss-zzz");

// The catalogue file's change counter (its header's bytes 24 to 27), which every write transaction
// moves; -1 when it cannot be read.
qint64 changeCounter(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(24))
        return -1;
    const QByteArray bytes = file.read(4);
    if (bytes.size() != 4)
        return -1;
    return qint64(quint8(bytes[0])) << 24 | quint8(bytes[1]) << 16 | quint8(bytes[2]) << 8 | quint8(bytes[3]);
}

// The counter a copy's name records after its time: "...-c1234".
qint64 recordedCounter(const QString& copy)
{
    const QString name = QFileInfo(copy).completeBaseName();
    const qsizetype at = name.lastIndexOf(QLatin1String("-c"));
    bool ok = false;
    const qint64 counter = at < 0 ? -1 : name.mid(at + 2).toLongLong(&ok);
    return ok ? counter : -1;
}

// Copies every page from one open database to another with SQLite's online backup.
void copyPages(sqlite3* from, sqlite3* to, const QString& what)
{
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        throw EngineError::fromSqlite(to, sqlite3_errcode(to), what);
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(50);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finished != SQLITE_OK)
        throw EngineError::fromSqlite(to, rc != SQLITE_DONE ? rc : finished, what);
}

// The names of the copies, newest first. The catalogue's name is matched as it is, not as a
// pattern, so that a name holding "[" or "*" still finds its copies.
QStringList copyNames(const QString& catalogue)
{
    const QFileInfo info(catalogue);
    const QString prefix = info.completeBaseName() + QLatin1Char('-');
    const QString suffix = QLatin1Char('.') + info.suffix();
    QStringList names;
    // Hidden too: the copies of a catalogue whose name begins with a dot are hidden files.
    for (const QString& name : QDir(folderOf(catalogue)).entryList(QDir::Files | QDir::Hidden)) {
        if (name.size() > prefix.size() + suffix.size() && name.startsWith(prefix, Qt::CaseInsensitive) &&
            name.endsWith(suffix, Qt::CaseInsensitive))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), std::greater<>());
    return names;
}

// When a copy of that name was made, or an invalid time for a file that only looks like a copy.
QDateTime madeAt(const QString& catalogue, const QString& name)
{
    const qsizetype from = QFileInfo(catalogue).completeBaseName().size() + 1;
    return QDateTime::fromString(name.mid(from, kStamp.size()), kStamp);
}

// The copies, newest first, without opening them; at most the first `limit` of them.
QList<Copy> listed(const QString& catalogue, qsizetype limit = -1)
{
    const QDir folder(folderOf(catalogue));
    QList<Copy> found;
    for (const QString& name : copyNames(catalogue)) {
        if (limit >= 0 && found.size() >= limit)
            break;
        if (const QDateTime made = madeAt(catalogue, name); made.isValid())
            found.append({folder.filePath(name), made});
    }
    return found;
}

// The newest copies stay; the others go.
void prune(const QString& catalogue, int keep)
{
    const QList<Copy> all = listed(catalogue);
    for (qsizetype i = qMax(1, keep); i < all.size(); ++i)
        QFile::remove(all.at(i).path);
}

int recordingsIn(const QString& path)
{
    sqlite3* db = nullptr;
    int count = -1;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM \"Recording\"", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            count = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return count;
}

} // namespace

QString folderOf(const QString& catalogue)
{
    return QFileInfo(catalogue).absoluteDir().filePath(QStringLiteral("backups"));
}

QList<Copy> copies(const QString& catalogue)
{
    QList<Copy> found = listed(catalogue);
    for (Copy& copy : found)
        copy.recordings = recordingsIn(copy.path);
    return found;
}

QString make(Database& catalogue, int keep)
{
    const QString path = catalogue.path();
    if (!QDir().mkpath(folderOf(path)))
        throw EngineError(EngineError::Kind::General,
                          QStringLiteral("The folder '%1' for the backups cannot be made.").arg(folderOf(path)));
    const QFileInfo info(path);
    QString target = QDir(folderOf(path))
                         .filePath(QStringLiteral("%1-%2.%3")
                                       .arg(info.completeBaseName(),
                                            QDateTime::currentDateTime().toString(kStamp) +
                                                QStringLiteral("-c%1").arg(changeCounter(path)),
                                            info.suffix()));
    // Two in one thousandth of a second: the second waits its turn in the name.
    for (int n = 2; QFileInfo::exists(target); ++n)
        target.insert(target.size() - info.suffix().size() - 1, QStringLiteral("-%1").arg(n));
    const QString part = target + QStringLiteral(".part");
    sqlite3* copy = nullptr;
    if (sqlite3_open(QFile::encodeName(part).constData(), &copy) != SQLITE_OK) {
        const EngineError error =
            EngineError::fromSqlite(copy, sqlite3_errcode(copy), QStringLiteral("Cannot back up"));
        sqlite3_close(copy);
        throw error;
    }
    try {
        // The copy is of use only once it is whole and renamed: it needs no journal of its own.
        sqlite3_exec(copy, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
        copyPages(catalogue.handle(), copy, QStringLiteral("Cannot back up the catalogue"));
    } catch (const EngineError&) {
        sqlite3_close(copy);
        QFile::remove(part);
        throw;
    }
    sqlite3_close(copy);
    // Only a whole copy takes the name a restore looks for.
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        throw EngineError(EngineError::Kind::DiskFull,
                          QStringLiteral("The backup '%1' could not be kept.").arg(target));
    }
    prune(path, keep);
    return target;
}

QString makeIfChanged(Database& catalogue, int keep)
{
    // Changed: its counter moved since the newest copy (a catalogue in WAL mode leaves the counter
    // alone, so its file's time is asked too).
    const QList<Copy> newest = listed(catalogue.path(), 1);
    if (!newest.isEmpty() && recordedCounter(newest.first().path) == changeCounter(catalogue.path()) &&
        QFileInfo(catalogue.path()).lastModified() <= QFileInfo(newest.first().path).lastModified())
        return QString();
    return make(catalogue, keep);
}

void restore(Database& catalogue, const QString& copy, int keep)
{
    // Only a whole catalogue is put in place: the copy is opened as one, read-only, first.
    const std::unique_ptr<Database> from = Database::open(copy, false, true);
    make(catalogue, keep + 1); // the catalogue as it was, one more copy
    copyPages(from->handle(), catalogue.handle(), QStringLiteral("Cannot restore the backup"));
}

} // namespace CatalogueBackup
