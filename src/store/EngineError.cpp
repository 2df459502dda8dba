#include "store/EngineError.h"

#include <cerrno>
#include <sqlite3.h>

EngineError::EngineError(Kind kind, const QString& description)
    : m_kind(kind), m_description(description), m_what(description.toStdString())
{}

EngineError EngineError::fromSqlite(sqlite3* db, int resultCode, const QString& context)
{
    const QString engine = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    const QString prefix = context.isEmpty() ? QString() : context + QStringLiteral(": ");
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EngineError(Kind::Locked, prefix + QStringLiteral("the catalogue is in use by another program; "
                                                                 "try again when it has finished (%1).")
                                                      .arg(engine));
    case SQLITE_READONLY:
        return EngineError(
            Kind::ReadOnly,
            prefix + QStringLiteral("the catalogue is read-only, so the change was not saved (%1).").arg(engine));
    case SQLITE_FULL:
        return EngineError(Kind::DiskFull,
                           prefix + QStringLiteral("the disk is full, so the change was not saved (%1).").arg(engine));
    case SQLITE_IOERR:
        // A write refused by the system: most often a full disk or a file-size limit.
        return EngineError(Kind::DiskFull,
                           prefix + QStringLiteral("the catalogue could not be written, so the change was "
                                                   "not saved; the disk may be full (%1).")
                                        .arg(engine));
    case SQLITE_INTERRUPT:
        return EngineError(Kind::Interrupted, prefix + QStringLiteral("it was cancelled."));
    case SQLITE_NOTADB:
        return EngineError(Kind::NotACatalogue, prefix + QStringLiteral("not a Varolin catalogue (%1).").arg(engine));
    case SQLITE_CORRUPT:
        return EngineError(Kind::Damaged,
                           prefix + QStringLiteral("the catalogue is damaged (%1). ").arg(engine) + damagedAdvice());
    case SQLITE_CANTOPEN:
        // The system's own reason tells a file the user may not open from one that is not there.
        if (db && (sqlite3_system_errno(db) == EACCES || sqlite3_system_errno(db) == EPERM))
            return EngineError(Kind::PermissionDenied,
                               prefix + QStringLiteral("permission denied. Ask for read and write permission on the "
                                                       "file and its folder, or set \"Database\" in varolin.ini to "
                                                       "a catalogue you may use."));
        return EngineError(Kind::FileNotFound, prefix + QStringLiteral("cannot open the file (%1).").arg(engine));
    default:
        return EngineError(Kind::General, prefix + engine);
    }
}

QString EngineError::damagedAdvice()
{
    return QStringLiteral("Varolin has not changed it. Restore the catalogue from a backup copy, or recover what it "
                          "still holds with the sqlite3 program's \".recover\" command into a new file and set "
                          "\"Database\" in varolin.ini to that file.");
}
