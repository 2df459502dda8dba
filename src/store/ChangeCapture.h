#pragma once

#include "store/RowChanges.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Database;
struct sqlite3;

// What this program commits to the named tables while the capture lasts, row by row: each row's
// image before its first change and after its last. The engine hands the images over as it writes
// each row, so nothing another program does can come between, and nothing is read twice. A
// transaction that is rolled back takes its rows with it, also one whose commit fails (a full disk):
// its rows count only once the next statement starts, or the capture is asked, with the commit
// through. One capture at a time on a catalogue.
class ChangeCapture
{
public:
    ChangeCapture(Database& catalogue, const QStringList& tables);
    ~ChangeCapture();
    ChangeCapture(const ChangeCapture&) = delete;
    ChangeCapture& operator=(const ChangeCapture&) = delete;

    // What has been committed so far. Throws EngineError when the tables' columns cannot be read.
    RowChanges changes();

private:
    // The rows of one table in the order they were first written, found by rowid.
    struct Rows
    {
        QList<RowChanges::Row> rows;
        QHash<qint64, qsizetype> at;
        void note(qint64 rowid, const QByteArray& before, const QByteArray& after);
    };

    static void rowChanging(void* self, sqlite3* db, int op, const char* database, const char* table, qint64 oldRowid,
                            qint64 newRowid);
    static int committing(void* self);
    static void rolledBack(void* self);
    static int statementStarting(unsigned type, void* self, void* statement, void* sql);
    // Counts the rows of a commit that went through.
    void settle();
    QByteArray image(sqlite3* db, bool newValues);

    Database& m_catalogue;
    sqlite3* m_db;
    bool m_utf8 = false; // the catalogue stores its text as UTF-8
    QStringList m_watched;
    QList<QByteArray> m_watchedUtf8;
    QList<Rows> m_committed;   // one for each watched table
    QList<Rows> m_pending;     // written in the open transaction
    bool m_committing = false; // the open transaction is being committed
    QByteArray m_image;        // where each image is put together, kept to spare the allocations
};
