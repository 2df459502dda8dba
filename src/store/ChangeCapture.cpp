// The engine tells of each row as it is written only when asked for it at build time; the library
// the program links has it, the header declares it only on request.
#define SQLITE_ENABLE_PREUPDATE_HOOK
#include <sqlite3.h>

#include "store/ChangeCapture.h"

#include "store/Database.h"
#include "store/RowImage.h"

ChangeCapture::ChangeCapture(Database& catalogue, const QStringList& tables)
    : m_catalogue(catalogue), m_db(catalogue.handle()), m_watched(tables)
{
    if (!m_db)
        return;
    sqlite3_preupdate_hook(m_db, &ChangeCapture::rowChanging, this);
    sqlite3_commit_hook(m_db, &ChangeCapture::committing, this);
    sqlite3_rollback_hook(m_db, &ChangeCapture::rolledBack, this);
}

ChangeCapture::~ChangeCapture()
{
    if (!m_db)
        return;
    sqlite3_preupdate_hook(m_db, nullptr, nullptr);
    sqlite3_commit_hook(m_db, nullptr, nullptr);
    sqlite3_rollback_hook(m_db, nullptr, nullptr);
}

QByteArray ChangeCapture::image(sqlite3* db, bool newValues)
{
    QByteArray image = RowImage::start();
    const int count = sqlite3_preupdate_count(db);
    for (int c = 0; c < count; ++c) {
        sqlite3_value* value = nullptr;
        if ((newValues ? sqlite3_preupdate_new(db, c, &value) : sqlite3_preupdate_old(db, c, &value)) != SQLITE_OK)
            value = nullptr;
        if (value)
            RowImage::append(image, value);
    }
    return image;
}

void ChangeCapture::rowChanging(void* self, sqlite3* db, int op, const char* database, const char* table,
                                qint64 oldRowid, qint64 newRowid)
{
    auto* capture = static_cast<ChangeCapture*>(self);
    const QString name = QString::fromUtf8(table);
    if (qstrcmp(database, "main") != 0 || !capture->m_watched.contains(name, Qt::CaseInsensitive))
        return;
    const QByteArray before = op == SQLITE_INSERT ? QByteArray() : image(db, false);
    const QByteArray after = op == SQLITE_DELETE ? QByteArray() : image(db, true);
    // An update that moves a row to another rowid takes it from one place and puts it in another.
    if (op == SQLITE_UPDATE && oldRowid != newRowid) {
        capture->note(name, oldRowid, before, QByteArray());
        capture->note(name, newRowid, QByteArray(), after);
    } else {
        capture->note(name, op == SQLITE_INSERT ? newRowid : oldRowid, before, after);
    }
}

void ChangeCapture::note(const QString& table, qint64 rowid, const QByteArray& before, const QByteArray& after)
{
    Rows& rows = m_pending[table];
    const auto it = rows.find(rowid);
    if (it == rows.end())
        rows.insert(rowid, {rowid, before, after});
    else
        it->after = after; // the row as it was before the first change stands
}

int ChangeCapture::committing(void* self)
{
    auto* capture = static_cast<ChangeCapture*>(self);
    for (auto table = capture->m_pending.cbegin(); table != capture->m_pending.cend(); ++table) {
        Rows& committed = capture->m_committed[table.key()];
        if (committed.isEmpty()) {
            committed = table.value();
            continue;
        }
        for (const RowChanges::Row& row : table.value()) {
            const auto it = committed.find(row.rowid);
            if (it == committed.end())
                committed.insert(row.rowid, row);
            else
                it->after = row.after;
        }
    }
    capture->m_pending.clear();
    return 0; // the commit goes ahead
}

void ChangeCapture::rolledBack(void* self)
{
    static_cast<ChangeCapture*>(self)->m_pending.clear();
}

RowChanges ChangeCapture::changes() const
{
    RowChanges changes;
    for (auto table = m_committed.cbegin(); table != m_committed.cend(); ++table) {
        changes.tables.append({table.key(), RowChanges::columnsOf(m_catalogue, table.key()), table.value().values()});
    }
    return changes;
}
