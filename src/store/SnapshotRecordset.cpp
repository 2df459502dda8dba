#include "store/SnapshotRecordset.h"

#include "store/EngineError.h"

#include <bit>
#include <sqlite3.h>

SnapshotRecordset::SnapshotRecordset(sqlite3_stmt* statement)
{
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c)
        m_names << QString::fromUtf8(sqlite3_column_name(statement, c));

    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            Cell cell{0, 0, static_cast<quint8>(sqlite3_column_type(statement, c))};
            switch (cell.type) {
            case SQLITE_INTEGER:
                cell.value = sqlite3_column_int64(statement, c);
                break;
            case SQLITE_FLOAT:
                cell.value = std::bit_cast<qint64>(sqlite3_column_double(statement, c));
                break;
            case SQLITE_NULL:
                break;
            default: {
                cell.type = SQLITE_TEXT;
                const auto* data = static_cast<const QChar*>(sqlite3_column_text16(statement, c));
                cell.length = sqlite3_column_bytes16(statement, c) / 2;
                cell.value = m_text.size();
                m_text.append(data, cell.length);
                break;
            }
            }
            m_cells.push_back(cell);
        }
        ++m_rows;
    }
    if (rc != SQLITE_DONE)
        throw EngineError::fromSqlite(sqlite3_db_handle(statement), rc);
}

bool SnapshotRecordset::eof() const
{
    return m_row >= m_rows;
}

void SnapshotRecordset::moveFirst()
{
    m_row = 0;
}

void SnapshotRecordset::moveLast()
{
    m_row = m_rows > 0 ? m_rows - 1 : 0;
}

void SnapshotRecordset::moveNext()
{
    if (eof())
        noCurrentRecord();
    ++m_row;
}

int SnapshotRecordset::recordCount()
{
    return m_rows;
}

int SnapshotRecordset::fieldCount() const
{
    return static_cast<int>(m_names.size());
}

QString SnapshotRecordset::fieldName(int index) const
{
    return m_names.value(index);
}

const SnapshotRecordset::Cell& SnapshotRecordset::cell(int index) const
{
    if (eof())
        noCurrentRecord();
    if (index < 0 || index >= fieldCount())
        throw EngineError(EngineError::Kind::General, QStringLiteral("Item not found in this collection."));
    return m_cells[static_cast<size_t>(m_row) * m_names.size() + index];
}

QVariant SnapshotRecordset::value(int index) const
{
    const Cell& c = cell(index);
    switch (c.type) {
    case SQLITE_INTEGER:
        return QVariant(c.value);
    case SQLITE_FLOAT:
        return QVariant(std::bit_cast<double>(c.value));
    case SQLITE_TEXT:
        return QVariant(m_text.mid(c.value, c.length));
    default:
        return QVariant();
    }
}

QString SnapshotRecordset::text(int index) const
{
    const Cell& c = cell(index);
    if (c.type == SQLITE_TEXT)
        return m_text.mid(c.value, c.length);
    if (c.type == SQLITE_INTEGER)
        return QString::number(c.value);
    return Recordset::text(index);
}

QStringView SnapshotRecordset::textView(int index) const
{
    const Cell& c = cell(index);
    return c.type == SQLITE_TEXT ? QStringView(m_text).mid(c.value, c.length) : QStringView();
}

bool SnapshotRecordset::isText(int index) const
{
    return cell(index).type == SQLITE_TEXT;
}
