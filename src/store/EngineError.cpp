#include "store/EngineError.h"

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
        return EngineError(Kind::DiskFull, prefix + QStringLiteral("the catalogue could not be written, so the change was "
                                                                   "not saved; the disk may be full (%1).")
                                                        .arg(engine));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return EngineError(Kind::NotACatalogue, prefix + QStringLiteral("not a Varolin catalogue (%1).").arg(engine));
    case SQLITE_CANTOPEN:
        return EngineError(Kind::FileNotFound, prefix + QStringLiteral("cannot open the file (%1).").arg(engine));
    default:
        return EngineError(Kind::General, prefix + engine);
    }
}
