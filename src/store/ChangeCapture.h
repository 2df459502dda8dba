#pragma once

#include "store/RowChanges.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

class Database;
struct sqlite3;

// What this program commits to the named tables while the capture lasts, row by row: each row's
// image before its first change and after its last. The engine hands the images over as it writes
// each row, so nothing another program does can come between, and nothing is read twice. A
// transaction that is rolled back takes its rows with it. One capture at a time on a catalogue.
class ChangeCapture
{
public:
    ChangeCapture(Database& catalogue, const QStringList& tables);
    ~ChangeCapture();
    ChangeCapture(const ChangeCapture&) = delete;
    ChangeCapture& operator=(const ChangeCapture&) = delete;

    // What has been committed so far. Throws EngineError when the tables' columns cannot be read.
    RowChanges changes() const;

private:
    using Rows = QMap<qint64, RowChanges::Row>; // by rowid
    using Tables = QHash<QString, Rows>;        // by the table's name as the catalogue spells it

    static void rowChanging(void* self, sqlite3* db, int op, const char* database, const char* table, qint64 oldRowid,
                            qint64 newRowid);
    static int committing(void* self);
    static void rolledBack(void* self);
    void note(const QString& table, qint64 rowid, const QByteArray& before, const QByteArray& after);
    static QByteArray image(sqlite3* db, bool newValues);

    Database& m_catalogue;
    sqlite3* m_db;
    QStringList m_watched;
    Tables m_committed;
    Tables m_pending; // written in the open transaction
};
