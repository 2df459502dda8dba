#include "store/RowChanges.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/RowImage.h"
#include "store/SnapshotRecordset.h"
#include "store/Statement.h"

#include <sqlite3.h>

namespace {

QString ColumnList(const QStringList& columns)
{
    QStringList quoted;
    for (const QString& column : columns)
        quoted << Statement::quoted(column);
    return quoted.join(QStringLiteral(", "));
}

int ColumnIndex(const RowChanges::Table& table, const char* name)
{
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        if (table.columns.at(i).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

// The row as the catalogue holds it now; empty when there is none.
QByteArray ReadRow(sqlite3_stmt* read, qint64 rowid, int columns)
{
    sqlite3_reset(read);
    sqlite3_bind_int64(read, 1, rowid);
    const int rc = sqlite3_step(read);
    if (rc == SQLITE_ROW)
        return RowImage::ofColumns(read, columns);
    if (rc != SQLITE_DONE)
        throw EngineError::fromSqlite(sqlite3_db_handle(read), rc);
    return QByteArray();
}

void Run(sqlite3_stmt* statement)
{
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE)
        throw EngineError::fromSqlite(sqlite3_db_handle(statement), rc);
}

} // namespace

bool RowChanges::changesAnything() const
{
    for (const Table& table : tables) {
        for (const Row& row : table.rows) {
            if (!RowImage::matches(row.after, row.before))
                return true;
        }
    }
    return false;
}

const RowChanges::Table* RowChanges::table(const QString& name) const
{
    for (const Table& table : tables) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return &table;
    }
    return nullptr;
}

void RowChanges::keepDigestsAfter()
{
    for (Table& table : tables) {
        for (Row& row : table.rows)
            row.after = RowImage::digestOf(row.after);
    }
}

QString RowChanges::turn(Database& catalogue, Direction direction)
{
    const bool back = direction == Direction::Back;
    Images now;
    catalogue.beginTrans();
    try {
        // Every row is checked before any is written, so that a refusal leaves nothing half done.
        QString why = check(catalogue, back, &now);
        if (why.isEmpty()) {
            write(catalogue, back, now);
            why = formatsStillUsed(catalogue, now, back);
        }
        if (!why.isEmpty()) {
            catalogue.rollback();
            return why;
        }
        catalogue.commitTrans();
    } catch (const EngineError&) {
        catalogue.rollbackQuietly();
        throw;
    }
    // The side just written stands in the catalogue: its digests will do. The other is whole
    // again, from the rows as they read, for the way back.
    for (qsizetype t = 0; t < tables.size(); ++t) {
        for (qsizetype r = 0; r < tables[t].rows.size(); ++r) {
            Row& row = tables[t].rows[r];
            (back ? row.after : row.before) = now.at(t).at(r);
            (back ? row.before : row.after) = RowImage::digestOf(back ? row.before : row.after);
        }
    }
    return QString();
}

QString RowChanges::check(Database& catalogue, bool back, Images* now) const
{
    for (const Table& table : tables) {
        if (columnsOf(catalogue, table.name) != table.columns)
            return QStringLiteral("another program has changed the columns of the table %1 since.").arg(table.name);
        Statement read(catalogue.handle(), QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                                               .arg(ColumnList(table.columns), Statement::quoted(table.name)));
        QList<QByteArray>& rows = now->emplace_back();
        rows.reserve(table.rows.size());
        for (const Row& row : table.rows) {
            rows << ReadRow(read.handle(), row.rowid, static_cast<int>(table.columns.size()));
            if (const QString why = conflict(table, row, rows.last(), back); !why.isEmpty())
                return why;
        }
    }
    return QString();
}

void RowChanges::write(Database& catalogue, bool back, const Images& now) const
{
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const Table& table = tables.at(t);
        const QString name = Statement::quoted(table.name);
        Statement remove(catalogue.handle(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(name));
        QStringList marks;
        for (qsizetype i = 0; i <= table.columns.size(); ++i)
            marks << QStringLiteral("?%1").arg(i + 1);
        Statement insert(catalogue.handle(),
                         QStringLiteral("INSERT INTO %1 (rowid, %2) VALUES (%3)")
                             .arg(name, ColumnList(table.columns), marks.join(QStringLiteral(", "))));
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const Row& row = table.rows.at(r);
            const QByteArray& target = back ? row.before : row.after;
            if (target == now.at(t).at(r))
                continue;
            if (!now.at(t).at(r).isEmpty()) {
                sqlite3_bind_int64(remove.handle(), 1, row.rowid);
                Run(remove.handle());
            }
            if (!target.isEmpty()) {
                sqlite3_bind_int64(insert.handle(), 1, row.rowid);
                RowImage::bind(insert.handle(), 2, target);
                Run(insert.handle());
            }
        }
    }
}

QString RowChanges::conflict(const Table& table, const Row& row, const QByteArray& now, bool back)
{
    const QByteArray& expected = back ? row.after : row.before;
    if (RowImage::matches(expected, now))
        return QString();
    const QByteArray& target = back ? row.before : row.after;
    if (now.isEmpty()) {
        const QByteArray& whole = RowImage::isDigest(expected) ? target : expected;
        const QString name = rowName(table, whole, row.rowid);
        return QStringLiteral("another program has deleted the %1 %2 since.").arg(table.name, name);
    }
    const QString name = rowName(table, now, row.rowid);
    if (expected.isEmpty())
        return QStringLiteral("another program has added the %1 %2 since, in the place this would take.")
            .arg(table.name, name);
    return QStringLiteral("another program has changed the %1 %2 since.").arg(table.name, name);
}

QString RowChanges::formatsStillUsed(Database& catalogue, const Images& now, bool back) const
{
    QList<qint64> taken;
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const Table& table = tables.at(t);
        const int iID = ColumnIndex(table, "ID");
        if (table.name.compare(QLatin1String("Format"), Qt::CaseInsensitive) != 0 || iID < 0)
            continue;
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const Row& row = table.rows.at(r);
            bool isNumber = false;
            const qint64 id = RowImage::value(now.at(t).at(r), iID).toLongLong(&isNumber);
            if ((back ? row.before : row.after).isEmpty() && isNumber)
                taken << id;
        }
    }
    if (taken.isEmpty())
        return QString();
    const std::unique_ptr<SnapshotRecordset> rs =
        catalogue.openSnapshot(Catalogue::recordingsOfFormatsStatement(taken));
    const qint64 count = rs->field(QStringLiteral("Count")).toLongLong();
    if (count < 1)
        return QString();
    return QStringLiteral("%1 now %2 a Format this would take away (another program gave it to them).")
        .arg(count == 1 ? QStringLiteral("1 Recording") : QStringLiteral("%1 Recordings").arg(count),
             count == 1 ? QStringLiteral("uses") : QStringLiteral("use"));
}

QStringList RowChanges::columnsOf(Database& catalogue, const QString& table)
{
    Statement columns(catalogue.handle(), QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
    columns.bind(1, table);
    QStringList names;
    while (columns.step())
        names << columns.text(0);
    return names;
}

QString RowChanges::rowName(const Table& table, const QByteArray& image, qint64 rowid)
{
    QStringList parts;
    for (const char* column : {"Artist", "Title", "Description"}) {
        const int i = ColumnIndex(table, column);
        const QString text = i >= 0 ? RowImage::value(image, i).toString().simplified() : QString();
        if (!text.isEmpty())
            parts << text;
    }
    if (parts.isEmpty())
        return QStringLiteral("with the ID %1").arg(rowid);
    return QStringLiteral("\"%1\"").arg(parts.join(QStringLiteral(" – ")));
}
