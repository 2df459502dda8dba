#include "store/TableRecordset.h"

#include "store/EngineError.h"
#include "store/Statement.h"

#include <QRegularExpression>
#include <sqlite3.h>

QString TableRecordset::idName() const
{
    return Statement::quoted(m_names.at(m_idColumn));
}

TableRecordset::TableRecordset(sqlite3* db, const QString& table) : m_db(db)
{
    Statement find(m_db,
                   QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
    find.bind(1, table);
    if (!find.step())
        throw EngineError(EngineError::Kind::General, QStringLiteral("The catalogue has no table '%1'.").arg(table));
    m_name = find.text(0);
    m_table = Statement::quoted(m_name);

    Statement columns(m_db, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
    columns.bind(1, m_name);
    while (columns.step())
        m_names << columns.text(0);
    m_idColumn = static_cast<int>(
        m_names.indexOf(QRegularExpression(QStringLiteral("^ID$"), QRegularExpression::CaseInsensitiveOption)));
    if (m_idColumn < 0)
        throw EngineError(EngineError::Kind::General, QStringLiteral("The table '%1' has no column ID.").arg(m_name));
    moveFirst();
}

bool TableRecordset::load(const QString& sqlTail, const QVariantList& keys)
{
    Statement query(m_db, QStringLiteral("SELECT rowid, * FROM %1 %2").arg(m_table, sqlTail));
    for (int i = 0; i < keys.size(); ++i)
        query.bind(i + 1, keys.at(i));
    m_hasCurrent = query.step();
    if (m_hasCurrent) {
        m_rowid = query.int64(0);
        m_current.clear();
        for (int c = 0; c < m_names.size(); ++c)
            m_current << query.value(c + 1);
        m_id = m_current.at(m_idColumn);
    }
    return m_hasCurrent;
}

bool TableRecordset::eof() const
{
    return !m_hasCurrent;
}

void TableRecordset::moveFirst()
{
    load(QStringLiteral("ORDER BY %1, rowid LIMIT 1").arg(idName()));
}

void TableRecordset::moveLast()
{
    load(QStringLiteral("ORDER BY %1 DESC, rowid DESC LIMIT 1").arg(idName()));
}

void TableRecordset::moveNext()
{
    if (!m_hasCurrent)
        noCurrentRecord();
    // By ID; rows of one ID, or of none (Null sorts first), in the order they were stored.
    load(QStringLiteral("WHERE %1 > ?1 OR (%1 IS ?1 AND rowid > ?2) OR (?1 IS NULL AND %1 IS NOT NULL) "
                        "ORDER BY %1, rowid LIMIT 1")
             .arg(idName()),
         {m_id, m_rowid});
}

int TableRecordset::recordCount()
{
    Statement count(m_db, QStringLiteral("SELECT count(*) FROM %1").arg(m_table));
    count.step();
    return static_cast<int>(count.int64(0));
}

int TableRecordset::fieldCount() const
{
    return static_cast<int>(m_names.size());
}

QString TableRecordset::fieldName(int index) const
{
    return m_names.value(index);
}

void TableRecordset::checkField(int index) const
{
    if (index < 0 || index >= m_names.size())
        throw EngineError(EngineError::Kind::General, QStringLiteral("Item not found in this collection."));
}

QVariant TableRecordset::value(int index) const
{
    checkField(index);
    if (m_mode != Mode::None)
        return m_buffer.at(index);
    if (!m_hasCurrent)
        noCurrentRecord();
    return m_current.at(index);
}

void TableRecordset::setIndex(const QString& indexName)
{
    // The primary key is the only index a catalogue table has.
    if (indexName.compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) != 0)
        throw EngineError(EngineError::Kind::General,
                          QStringLiteral("'%1' isn't an index in table '%2'.").arg(indexName, m_name));
}

void TableRecordset::seek(const QString& comparison, const QVariant& key)
{
    static const QStringList operators = {QStringLiteral("="), QStringLiteral(">="), QStringLiteral(">"),
                                          QStringLiteral("<="), QStringLiteral("<")};
    if (!operators.contains(comparison))
        throw EngineError(EngineError::Kind::General,
                          QStringLiteral("Invalid comparison '%1' for Seek.").arg(comparison));
    const bool descending = comparison.startsWith(QLatin1Char('<'));
    m_noMatch = !load(QStringLiteral("WHERE %1 %2 ?1 ORDER BY %1 %3 LIMIT 1")
                          .arg(idName(), comparison, descending ? QStringLiteral("DESC") : QString()),
                      {key});
}

bool TableRecordset::noMatch() const
{
    return m_noMatch;
}

void TableRecordset::addNew()
{
    m_mode = Mode::AddNew;
    m_buffer = QVariantList(m_names.size());
    m_changed = QList<bool>(m_names.size(), false);
}

void TableRecordset::edit()
{
    if (!m_hasCurrent)
        noCurrentRecord();
    m_mode = Mode::Edit;
    m_buffer = m_current;
    m_changed = QList<bool>(m_names.size(), false);
}

void TableRecordset::setValue(int index, const QVariant& value)
{
    checkField(index);
    if (m_mode == Mode::None)
        throw EngineError(EngineError::Kind::General, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    m_buffer[index] = value;
    m_changed[index] = true;
}

void TableRecordset::update()
{
    if (m_mode == Mode::None)
        throw EngineError(EngineError::Kind::General, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_names.size(); ++c) {
        if (m_changed.at(c)) {
            names << Statement::quoted(m_names.at(c));
            values << m_buffer.at(c);
        }
    }
    QString sql;
    if (m_mode == Mode::AddNew) {
        QStringList marks;
        for (int i = 1; i <= names.size(); ++i)
            marks << QStringLiteral("?%1").arg(i);
        sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
                              : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(m_table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        sql += QStringLiteral(" RETURNING ") + idName();
    } else {
        QStringList sets;
        for (int i = 0; i < names.size(); ++i)
            sets << QStringLiteral("%1 = ?%2").arg(names.at(i)).arg(i + 1);
        if (sets.isEmpty()) {
            m_mode = Mode::None;
            return;
        }
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 IS ?%4")
                  .arg(m_table, sets.join(QStringLiteral(", ")), idName(), QString::number(names.size() + 1));
        values << m_id;
    }

    // In a savepoint of its own, so that a write that would reach other rows than the one meant
    // leaves the table as it was.
    const bool ownTransaction = sqlite3_get_autocommit(m_db) != 0;
    Statement(m_db, QStringLiteral("SAVEPOINT table_recordset_update")).step();
    QVariant newId;
    try {
        Statement write(m_db, sql);
        for (int i = 0; i < values.size(); ++i)
            write.bind(i + 1, values.at(i));
        // A step after the statement is done would run it again: only the rows RETURNING gives
        // are stepped through.
        if (write.step()) {
            newId = write.value(0);
            while (write.step()) {
            }
        }
        const int changed = sqlite3_changes(m_db);
        // An edit that reached no row must not pass for a save.
        if (m_mode == Mode::Edit && changed == 0)
            throw EngineError(
                EngineError::Kind::General,
                QStringLiteral("The record is no longer in table '%1'; another program may have deleted it.")
                    .arg(m_name));
        if (m_mode == Mode::Edit && changed > 1)
            throw EngineError(EngineError::Kind::General,
                              QStringLiteral("The table '%1' holds more than one row with the ID %2; none of them "
                                             "has been changed.")
                                  .arg(m_name, m_id.toString()));
        if (m_mode == Mode::AddNew && newId.isNull())
            throw EngineError(EngineError::Kind::General,
                              QStringLiteral("The table '%1' does not number its rows itself (its ID is not an "
                                             "INTEGER PRIMARY KEY), so the new row would have no ID; it has not "
                                             "been added.")
                                  .arg(m_name));
        Statement(m_db, QStringLiteral("RELEASE table_recordset_update")).step();
    } catch (const EngineError&) {
        undoUpdate(ownTransaction);
        throw;
    }
    const Mode was = m_mode;
    m_mode = Mode::None;
    if (was == Mode::Edit && m_changed.at(m_idColumn))
        m_id = m_buffer.at(m_idColumn);
    m_lastModified = was == Mode::AddNew ? newId.toLongLong() : m_id.toLongLong();
    if (was == Mode::Edit)
        load(QStringLiteral("WHERE %1 IS ?1 ORDER BY rowid LIMIT 1").arg(idName()), {m_id});
}

void TableRecordset::undoUpdate(bool ownTransaction)
{
    // The engine may have rolled back already (a full disk); what is left to undo is undone, and
    // the first failure is the one reported.
    try {
        if (ownTransaction) {
            if (!sqlite3_get_autocommit(m_db))
                Statement(m_db, QStringLiteral("ROLLBACK")).step();
        } else {
            Statement(m_db, QStringLiteral("ROLLBACK TO table_recordset_update")).step();
            Statement(m_db, QStringLiteral("RELEASE table_recordset_update")).step();
        }
    } catch (const EngineError&) {
    }
}

qint64 TableRecordset::lastModified() const
{
    if (m_lastModified == 0)
        throw EngineError(EngineError::Kind::General, QStringLiteral("No record has been stored yet."));
    return m_lastModified;
}
