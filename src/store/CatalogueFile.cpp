#include "store/CatalogueFile.h"

#include "store/EngineError.h"
#include "store/FileKind.h"
#include "store/JetFile.h"
#include "store/Statement.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

void CatalogueFile::refuseJetFile(const QString& path)
{
    const JetFile::Kind jet = JetFile::kindOfFile(path);
    if (jet == JetFile::Kind::None)
        return;
    const QString kind = jet == JetFile::Kind::Ace    ? QStringLiteral("an Access 2007 (ACE)")
                         : jet == JetFile::Kind::Jet3 ? QStringLiteral("a Jet 3")
                                                      : QStringLiteral("a Jet 4");
    throw EngineError(
        EngineError::Kind::JetFile,
        QStringLiteral("'%1' is %2 database of the older Windows program. Varolin keeps its catalogue "
                       "in an SQLite file and cannot open this one: create a new catalogue and bring its recordings "
                       "in with File > Import.")
            .arg(path, kind));
}

bool CatalogueFile::hasSqliteHeader(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

static quint32 bigEndian(const QByteArray& bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

EngineError CatalogueFile::damaged(const QString& path, const QString& why)
{
    return EngineError(EngineError::Kind::Damaged, QStringLiteral("'%1' is a damaged catalogue: %2. ").arg(path, why) +
                                                       EngineError::damagedAdvice());
}

// A copy cut short (a failed download, a full disk) still has its first page, so SQLite would open it
// and fail only when a Selection reaches the missing part. Its header says how long it should be.
void CatalogueFile::refuseCutShortFile(const QString& path)
{
    // SQLite would take an empty file for an empty database, and the user would be told it lacks
    // every table, when it is a copy that never got its contents.
    if (QFileInfo(path).size() == 0)
        throw damaged(path, QStringLiteral("the file is empty"));
    if (!hasSqliteHeader(path) || QFileInfo::exists(path + QStringLiteral("-journal")) ||
        QFileInfo::exists(path + QStringLiteral("-wal")))
        return; // a journal left by a crash may still put the file right
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray header = file.read(100);
    if (header.size() < 100)
        throw damaged(path, QStringLiteral("the file is cut short"));
    const quint32 pageSizeField = bigEndian(header, 16, 2);
    const qint64 pageSize = pageSizeField == 1 ? 65536 : pageSizeField;
    const quint32 pages = bigEndian(header, 28, 4);
    // The page count holds only while the change counter matches the number beside it.
    const bool countValid = pages != 0 && bigEndian(header, 24, 4) == bigEndian(header, 92, 4);
    if (countValid && file.size() < pageSize * pages)
        throw damaged(
            path, QStringLiteral("the file is cut short (%1 of its %2 bytes)").arg(file.size()).arg(pageSize * pages));
}

// The objects and columns the program reads and writes, so that a catalogue another tool changed is
// refused at once, naming what it lacks, instead of failing at every Selection and save.
void CatalogueFile::requireObjects(sqlite3* db, const QString& path)
{
    const struct
    {
        const char* name;
        const char* type;
        const char* what;
        QStringList columns;
    } objects[] = {
        {"Recording",
         "table",
         "the table Recording",
         {"ID", "Artist", "Title", "Year", "Label", "Catalogue_No", "International_Catalogue_No", "Notes", "Format"}},
        {"Format", "table", "the table Format", {"ID", "Description"}},
        {"Expanded_Recording",
         "view",
         "the query Expanded_Recording",
         {"ID", "Artist", "Title", "Year", "Format", "Label", "Catalogue_No", "Notes", "International_Catalogue_No"}},
    };
    QStringList missing;
    for (const auto& object : objects) {
        Statement find(
            db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE lower(name) = lower(?1) AND type = ?2"));
        find.bind(1, QLatin1String(object.name));
        find.bind(2, QLatin1String(object.type));
        find.step();
        if (find.int64(0) == 0)
            missing << QLatin1String(object.what);
    }
    if (missing.size() == 3)
        throw EngineError(
            EngineError::Kind::NotACatalogue,
            QStringLiteral("'%1' is a database but not a Varolin catalogue: it lacks the table Recording, "
                           "the table Format and the query Expanded_Recording.")
                .arg(path));
    if (!missing.isEmpty()) {
        const QString list =
            missing.size() == 1 ? missing.first() : missing.first() + QStringLiteral(" and ") + missing.last();
        throw EngineError(EngineError::Kind::NotACatalogue,
                          QStringLiteral("'%1' is not a whole Varolin catalogue: it lacks %2. Varolin has not changed "
                                         "it; open it with the tool that changed it and put back what is missing, or "
                                         "restore it from a backup copy.")
                              .arg(path, list));
    }

    for (const auto& object : objects) {
        QStringList present;
        try {
            Statement columns(db, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
            columns.bind(1, QLatin1String(object.name));
            while (columns.step())
                present << columns.text(0);
        } catch (const EngineError& e) {
            // A query over a column that is gone cannot even be described.
            throw EngineError(EngineError::Kind::NotACatalogue,
                              QStringLiteral("'%1' is not a whole Varolin catalogue: %2 cannot be read (%3).")
                                  .arg(path, QLatin1String(object.what), e.description()));
        }
        for (const QString& column : object.columns) {
            if (!present.contains(column, Qt::CaseInsensitive))
                throw EngineError(EngineError::Kind::NotACatalogue,
                                  QStringLiteral("'%1' is not a whole Varolin catalogue: %2 lacks the column %3. "
                                                 "Varolin has not changed it; restore it from a backup copy.")
                                      .arg(path, QLatin1String(object.what), column));
        }
    }
}

// Why the file cannot be reached, from the system's own reason: only a file that is not there may be
// offered as a new catalogue; one the user may not read must never be.
void CatalogueFile::requireReachable(const QString& path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        // Opening a pipe would wait for ever, and a device is no damaged catalogue.
        if (const QString kind = FileKind::specialKind(path); !kind.isEmpty())
            throw EngineError(EngineError::Kind::NotACatalogue,
                              QStringLiteral("'%1' is %2, not a catalogue file.").arg(path, kind));
        if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK, AT_EACCESS) == 0)
            return;
    } else if (errno == ENOENT || errno == ENOTDIR) {
        throw EngineError(EngineError::Kind::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    } else if (errno != EACCES) {
        throw EngineError(EngineError::Kind::General,
                          QStringLiteral("Cannot open '%1': %2.").arg(path, FileKind::lookError(path)));
    }
    throw EngineError(EngineError::Kind::PermissionDenied,
                      QStringLiteral("Varolin may not open '%1': permission denied. Ask for read and write permission "
                                     "on the file and its folder, or set \"Database\" in varolin.ini to a catalogue "
                                     "you may use.")
                          .arg(path));
}
