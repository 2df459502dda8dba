#include "store/ChangeCapture.h"

#include "store/Database.h"
#include "store/RowImage.h"

#include <sqlite3.h>

#include <algorithm>

ChangeCapture::ChangeCapture(Database& catalogue, const QStringList& tables)
    : m_catalogue(catalogue), m_db(catalogue.handle()), m_watched(tables), m_committed(tables.size()),
      m_pending(tables.size())
{
    for (const QString& table : tables)
        m_watchedUtf8 << table.toUtf8();
    if (!m_db)
        return;
    sqlite3_stmt* encoding = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA encoding", -1, &encoding, nullptr) == SQLITE_OK &&
        sqlite3_step(encoding) == SQLITE_ROW)
        m_utf8 = qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(encoding, 0)), "UTF-8") == 0;
    sqlite3_finalize(encoding);
    sqlite3_preupdate_hook(m_db, &ChangeCapture::rowChanging, this);
    sqlite3_commit_hook(m_db, &ChangeCapture::committing, this);
    sqlite3_rollback_hook(m_db, &ChangeCapture::rolledBack, this);
    sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &ChangeCapture::statementStarting, this);
}

ChangeCapture::~ChangeCapture()
{
    if (!m_db)
        return;
    sqlite3_preupdate_hook(m_db, nullptr, nullptr);
    sqlite3_commit_hook(m_db, nullptr, nullptr);
    sqlite3_rollback_hook(m_db, nullptr, nullptr);
    sqlite3_trace_v2(m_db, 0, nullptr, nullptr);
}

QByteArray ChangeCapture::image(sqlite3* db, bool newValues)
{
    m_image.resize(0);
    m_image += RowImage::start();
    const int count = sqlite3_preupdate_count(db);
    for (int c = 0; c < count; ++c) {
        sqlite3_value* value = nullptr;
        if ((newValues ? sqlite3_preupdate_new(db, c, &value) : sqlite3_preupdate_old(db, c, &value)) != SQLITE_OK)
            value = nullptr;
        if (value)
            RowImage::append(m_image, value, m_utf8);
    }
    return QByteArray(m_image.constData(), m_image.size());
}

void ChangeCapture::rowChanging(void* self, sqlite3* db, int op, const char* database, const char* table,
                                qint64 oldRowid, qint64 newRowid)
{
    auto* capture = static_cast<ChangeCapture*>(self);
    const auto watched = std::find_if(capture->m_watchedUtf8.cbegin(), capture->m_watchedUtf8.cend(),
                                      [table](const QByteArray& name) { return qstricmp(name, table) == 0; });
    if (qstrcmp(database, "main") != 0 || watched == capture->m_watchedUtf8.cend())
        return;
    Rows& rows = capture->m_pending[watched - capture->m_watchedUtf8.cbegin()];
    const QByteArray before = op == SQLITE_INSERT ? QByteArray() : capture->image(db, false);
    const QByteArray after = op == SQLITE_DELETE ? QByteArray() : capture->image(db, true);
    // An update that moves a row to another rowid takes it from one place and puts it in another.
    if (op == SQLITE_UPDATE && oldRowid != newRowid) {
        rows.note(oldRowid, before, QByteArray());
        rows.note(newRowid, QByteArray(), after);
    } else {
        rows.note(op == SQLITE_INSERT ? newRowid : oldRowid, before, after);
    }
}

void ChangeCapture::Rows::note(qint64 rowid, const QByteArray& before, const QByteArray& after)
{
    const auto it = at.constFind(rowid);
    if (it == at.cend()) {
        at.insert(rowid, rows.size());
        rows.append({rowid, before, after});
    } else {
        rows[*it].after = after; // the row as it was before the first change stands
    }
}

int ChangeCapture::committing(void* self)
{
    // The engine asks before it writes the file, which may still fail; then it rolls back.
    static_cast<ChangeCapture*>(self)->m_committing = true;
    return 0; // the commit goes ahead
}

void ChangeCapture::rolledBack(void* self)
{
    auto* capture = static_cast<ChangeCapture*>(self);
    capture->m_pending = QList<Rows>(capture->m_watched.size());
    capture->m_committing = false;
}

int ChangeCapture::statementStarting(unsigned, void* self, void*, void*)
{
    // The commit asked for has ended: a failure would have rolled back by now.
    static_cast<ChangeCapture*>(self)->settle();
    return 0;
}

void ChangeCapture::settle()
{
    if (!m_committing)
        return;
    m_committing = false;
    for (qsizetype t = 0; t < m_pending.size(); ++t) {
        Rows& pending = m_pending[t];
        Rows& committed = m_committed[t];
        if (committed.rows.isEmpty()) {
            std::swap(committed, pending);
            continue;
        }
        for (const RowChanges::Row& row : std::as_const(pending.rows))
            committed.note(row.rowid, row.before, row.after);
    }
    m_pending = QList<Rows>(m_watched.size());
}

RowChanges ChangeCapture::changes()
{
    if (m_db && sqlite3_get_autocommit(m_db))
        settle();
    RowChanges changes;
    for (qsizetype t = 0; t < m_watched.size(); ++t) {
        if (m_committed.at(t).rows.isEmpty())
            continue;
        QList<RowChanges::Row> rows = m_committed.at(t).rows;
        const auto byRowid = [](const RowChanges::Row& a, const RowChanges::Row& b) { return a.rowid < b.rowid; };
        if (!std::is_sorted(rows.cbegin(), rows.cend(), byRowid))
            std::sort(rows.begin(), rows.end(), byRowid);
        rows.squeeze();
        changes.tables.append({m_watched.at(t), RowChanges::columnsOf(m_catalogue, m_watched.at(t)), rows});
    }
    return changes;
}
