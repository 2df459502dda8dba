#include "store/Database.h"

#include "store/CatalogueFile.h"
#include "store/EngineError.h"
#include "store/JetFunctions.h"
#include "store/JetTranslator.h"
#include "store/SnapshotRecordset.h"
#include "store/Statement.h"
#include "store/TableRecordset.h"

#include <QFile>
#include <sqlite3.h>

Database::Database(sqlite3* db, const QString& path) : m_db(db), m_path(path)
{}

Database::~Database()
{
    close();
}

std::unique_ptr<Database> Database::open(const QString& path, bool exclusive, bool readOnly, int busyTimeoutMs)
{
    CatalogueFile::requireReachable(path);
    CatalogueFile::refuseJetFile(path);
    CatalogueFile::refuseCutShortFile(path);

    sqlite3* raw = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    std::unique_ptr<Database> db(new Database(raw, path));
    if (rc != SQLITE_OK)
        throw EngineError::fromSqlite(raw, rc, QStringLiteral("Cannot open '%1'").arg(path));

    // A misspelt column in double quotes must be an error, not a text constant. A connection
    // without the dialect's functions and order would answer Selections wrongly: it is not opened.
    sqlite3_extended_result_codes(raw, 1);
    const auto require = [&](int setupRc) {
        if (setupRc != SQLITE_OK)
            throw EngineError::fromSqlite(raw, setupRc, QStringLiteral("Cannot open '%1'").arg(path));
    };
    require(sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr));
    require(sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr));
    require(sqlite3_busy_timeout(raw, busyTimeoutMs));
    require(JetFunctions::registerAll(raw));

    if (exclusive)
        Statement(raw, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")).step();
    try {
        // SQLite reads the file only when first asked: a file that is not a database, or one that
        // another program holds locked, shows here.
        Statement probe(raw, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        probe.step();
    } catch (const EngineError& e) {
        // A file that starts as a database but cannot be read as one is a damaged catalogue.
        if ((e.kind() == EngineError::Kind::NotACatalogue && CatalogueFile::hasSqliteHeader(path)) ||
            e.kind() == EngineError::Kind::Damaged)
            throw CatalogueFile::damaged(
                path, QStringLiteral("its contents cannot be read (%1)").arg(QString::fromUtf8(sqlite3_errmsg(raw))));
        if (e.kind() == EngineError::Kind::NotACatalogue)
            throw EngineError(e.kind(),
                              QStringLiteral("'%1' is not a Varolin catalogue: the file is not a database.").arg(path));
        throw EngineError(e.kind(), QStringLiteral("Cannot open '%1': %2").arg(path, e.description()));
    }
    try {
        CatalogueFile::requireObjects(raw, path);
        Statement encoding(raw, QStringLiteral("PRAGMA encoding"));
        db->m_utf8 = encoding.step() && encoding.text(0) == QLatin1String("UTF-8");
    } catch (const EngineError& e) {
        if (e.kind() == EngineError::Kind::Damaged)
            throw CatalogueFile::damaged(
                path, QStringLiteral("its contents cannot be read (%1)").arg(QString::fromUtf8(sqlite3_errmsg(raw))));
        throw;
    }
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

void Database::setProgressHandler(std::function<bool()> keepGoing)
{
    m_keepGoing = std::move(keepGoing);
    // A few thousand steps take well under a millisecond, so a stop is felt at once.
    sqlite3_progress_handler(
        connection(), m_keepGoing ? 4000 : 0,
        [](void* self) { return static_cast<Database*>(self)->m_keepGoing() ? 0 : 1; }, this);
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

void Database::rollbackQuietly() noexcept
{
    try {
        rollback();
    } catch (const EngineError&) {
    }
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}
