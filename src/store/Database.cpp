#include "store/Database.h"

#include "store/EngineError.h"
#include "store/JetFunctions.h"
#include "store/JetTranslator.h"
#include "store/SnapshotRecordset.h"
#include "store/Statement.h"
#include "store/TableRecordset.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

// Files of the older Windows program carry "Standard Jet DB" (or "Standard ACE DB") at offset 4.
void refuseJetFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = file.read(0x20);
    if (head.size() < 0x15)
        return;
    const QByteArray signature = head.mid(4, 15);
    if (signature != "Standard Jet DB" && signature != "Standard ACE DB")
        return;
    const int version = static_cast<unsigned char>(head.at(0x14));
    const QString kind = signature.startsWith("Standard ACE") ? QStringLiteral("an Access 2007 (ACE)")
                         : version == 0                       ? QStringLiteral("a Jet 3")
                                                              : QStringLiteral("a Jet 4");
    throw EngineError(EngineError::Kind::JetFile,
                      QStringLiteral("'%1' is %2 database of the older Windows program. Varolin keeps its catalogue "
                                     "in an SQLite file and cannot open this one: create a new catalogue and bring its recordings "
                                     "in with File > Import.")
                          .arg(path, kind));
}

void requireCatalogueObjects(sqlite3* db, const QString& path)
{
    Statement find(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE lower(name) IN "
                                      "('recording', 'format', 'expanded_recording')"));
    find.step();
    if (find.int64(0) != 3)
        throw EngineError(
            EngineError::Kind::NotACatalogue,
            QStringLiteral("'%1' is a database but not a Varolin catalogue: it lacks the table Recording, "
                           "the table Format or the query Expanded_Recording.")
                .arg(path));
}

} // namespace

Database::Database(sqlite3* db, const QString& path) : m_db(db), m_path(path)
{}

Database::~Database()
{
    close();
}

std::unique_ptr<Database> Database::open(const QString& path, bool exclusive, bool readOnly, int busyTimeoutMs)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw EngineError(EngineError::Kind::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    if (info.isDir())
        throw EngineError(EngineError::Kind::NotACatalogue,
                          QStringLiteral("'%1' is a folder, not a catalogue file.").arg(path));
    refuseJetFile(path);

    sqlite3* raw = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    std::unique_ptr<Database> db(new Database(raw, path));
    if (rc != SQLITE_OK)
        throw EngineError::fromSqlite(raw, rc, QStringLiteral("Cannot open '%1'").arg(path));

    // A misspelt column in double quotes must be an error, not a text constant.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(raw, busyTimeoutMs);
    sqlite3_extended_result_codes(raw, 1);
    JetFunctions::registerAll(raw);

    if (exclusive)
        Statement(raw, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")).step();
    try {
        // SQLite reads the file only when first asked: a file that is not a database, or one that
        // another program holds locked, shows here.
        Statement probe(raw, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        probe.step();
    } catch (const EngineError& e) {
        if (e.kind() == EngineError::Kind::NotACatalogue)
            throw EngineError(e.kind(),
                              QStringLiteral("'%1' is not a Varolin catalogue: the file is not a database.").arg(path));
        throw EngineError(e.kind(), QStringLiteral("Cannot open '%1': %2").arg(path, e.description()));
    }
    requireCatalogueObjects(raw, path);
    Statement encoding(raw, QStringLiteral("PRAGMA encoding"));
    db->m_utf8 = encoding.step() && encoding.text(0) == QLatin1String("UTF-8");
    return db;
}

sqlite3* Database::connection() const
{
    if (!m_db)
        throw EngineError(EngineError::Kind::General, QStringLiteral("The catalogue is closed."));
    return m_db;
}

QString Database::translate(const QString& jetSql, bool* isSelect)
{
    const JetTranslator::Result result = JetTranslator::translate(jetSql);
    if (isSelect)
        *isSelect = result.isSelect;
    return result.sql;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& source, Recordset::Type type)
{
    if (type == Recordset::Type::Table)
        return std::make_unique<TableRecordset>(connection(), source.trimmed());
    return openSnapshot(source);
}

std::unique_ptr<SnapshotRecordset> Database::openSnapshot(const QString& jetSql)
{
    // A bare table or query name stands for all of its rows.
    const QString trimmed = jetSql.trimmed();
    const bool bareName = !trimmed.isEmpty() && !trimmed.contains(QLatin1Char(' ')) &&
                          !trimmed.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive);
    bool isSelect = false;
    const QString sql = translate(bareName ? QStringLiteral("SELECT * FROM [%1]").arg(trimmed) : jetSql, &isSelect);
    if (!isSelect)
        throw EngineError(EngineError::Kind::Syntax,
                          QStringLiteral("Only a SELECT statement can be opened as a snapshot: %1").arg(jetSql));
    Statement statement(connection(), sql);
    if (!sqlite3_stmt_readonly(statement.handle()))
        throw EngineError(EngineError::Kind::Syntax, QStringLiteral("The statement is not read-only: %1").arg(jetSql));
    return std::make_unique<SnapshotRecordset>(statement.handle(), m_utf8);
}

void Database::execute(const QString& jetSql)
{
    bool isSelect = false;
    const QString sql = translate(jetSql, &isSelect);
    if (isSelect)
        throw EngineError(EngineError::Kind::Syntax, QStringLiteral("Cannot execute a select query: %1").arg(jetSql));
    Statement statement(connection(), sql);
    statement.step();
}

void Database::beginTrans()
{
    // IMMEDIATE takes the write lock at once, so a rewrite never meets another writer half-way.
    Statement(connection(), QStringLiteral("BEGIN IMMEDIATE")).step();
}

void Database::commitTrans()
{
    Statement(connection(), QStringLiteral("COMMIT")).step();
}

void Database::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        Statement(m_db, QStringLiteral("ROLLBACK")).step();
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool Database::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}
