#pragma once

#include "store/Recordset.h"

#include <functional>
#include <memory>
#include <QString>

struct sqlite3;
class SnapshotRecordset;

// An open catalogue: SQL text in the Jet dialect in, recordsets and changes out. Every failure is
// thrown as EngineError carrying a description fit to show the user.
class Database
{
public:
    // How long a statement waits for another program sharing the catalogue before it gives up.
    static constexpr int kDefaultBusyTimeoutMs = 5000;

    // Opens an existing catalogue, shared. A missing file, one the user may not read, a file that is
    // not a catalogue, a damaged one, one lacking a table, query or column, a Jet file of the older
    // Windows program and a locked catalogue each get a description of their own.
    static std::unique_ptr<Database> open(const QString& path, bool exclusive = false, bool readOnly = false,
                                          int busyTimeoutMs = kDefaultBusyTimeoutMs);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A snapshot of a SELECT (or of a whole table or query given by name), or a table recordset.
    std::unique_ptr<Recordset> openRecordset(const QString& source, Recordset::Type type = Recordset::Type::Table);
    std::unique_ptr<SnapshotRecordset> openSnapshot(const QString& jetSql);
    // Runs a statement that changes rows (DELETE); SELECT is refused.
    void execute(const QString& jetSql);

    // While a statement runs, keepGoing is asked every few thousand steps of the engine; once it
    // answers false the statement stops, thrown as EngineError::Kind::Interrupted. An empty
    // function asks nothing.
    void setProgressHandler(std::function<bool()> keepGoing);

    void beginTrans();
    void commitTrans();
    void rollback();
    // Rolls back after a failure, which stays the one to report: the engine may have rolled back
    // already, and a second failure says nothing new.
    void rollbackQuietly() noexcept;

    void close();
    QString path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // What the Jet dialect statement becomes on this engine; throws EngineError for what it cannot read.
    static QString translate(const QString& jetSql, bool* isSelect = nullptr);

private:
    Database(sqlite3* db, const QString& path);
    sqlite3* connection() const;

    sqlite3* m_db = nullptr;
    QString m_path;
    bool m_utf8 = true; // the catalogue's text encoding is UTF-8
    std::function<bool()> m_keepGoing;
};
