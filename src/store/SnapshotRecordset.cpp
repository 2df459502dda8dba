#include "store/SnapshotRecordset.h"

#include "store/EngineError.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <sqlite3.h>

namespace {

// The storage of the last snapshot released, kept for the next one: a display refreshed again and
// again then neither grows its buffers nor touches fresh memory.
struct SpareStorage
{
    std::vector<SnapshotRecordset::Cell> cells;
    std::string utf8;
};

SpareStorage& spare()
{
    // Never destroyed: a snapshot the clipboard still holds may be let go after static objects
    // are gone. Snapshots are made and released on the window's thread only.
    static SpareStorage* const storage = new SpareStorage;
    return *storage;
}

} // namespace

SnapshotRecordset::SnapshotRecordset(sqlite3_stmt* statement, bool utf8Catalogue)
    : m_cells(std::move(spare().cells)), m_utf8(std::move(spare().utf8))
{
    m_cells.clear();
    m_utf8.clear();
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c)
        m_names << QString::fromUtf8(sqlite3_column_name(statement, c));

    // Each column is fetched once as a value and read from there: cheaper than asking the
    // statement for its type, text and length in turn. The values are used on this thread only,
    // while the statement stays on its row.
    m_cells.reserve(static_cast<size_t>(columns) * 4096);
    m_utf8.reserve(256 * 1024);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        m_cells.resize(m_cells.size() + static_cast<size_t>(columns));
        Cell* row = m_cells.data() + m_cells.size() - columns;
        for (int c = 0; c < columns; ++c) {
            sqlite3_value* value = sqlite3_column_value(statement, c);
            Cell& cell = row[c];
            cell = {static_cast<quint32>(m_utf8.size()), kNull};
            switch (sqlite3_value_type(value)) {
            case SQLITE_INTEGER: {
                const qint64 i = sqlite3_value_int64(value);
                m_utf8.append(reinterpret_cast<const char*>(&i), sizeof i);
                cell.length = kInteger;
                break;
            }
            case SQLITE_FLOAT: {
                const double d = sqlite3_value_double(value);
                m_utf8.append(reinterpret_cast<const char*>(&d), sizeof d);
                cell.length = kFloat;
                break;
            }
            case SQLITE_NULL:
                break;
            default: {
                // Kept as the engine's UTF-8: copying it is all a read costs. In a UTF-8 catalogue the
                // bytes are taken as they lie, without the terminated copy that asking for text makes.
                const void* bytes = utf8Catalogue ? sqlite3_value_blob(value) : sqlite3_value_text(value);
                cell.length = sqlite3_value_bytes(value);
                m_utf8.append(static_cast<const char*>(bytes), static_cast<size_t>(cell.length));
                break;
            }
            }
        }
        ++m_rows;
        if (m_utf8.size() > std::numeric_limits<quint32>::max())
            throw EngineError(EngineError::Kind::General, QStringLiteral("The result is too large to show."));
    }
    if (rc != SQLITE_DONE)
        throw EngineError::fromSqlite(sqlite3_db_handle(statement), rc);
}

SnapshotRecordset::~SnapshotRecordset()
{
    // Only a modest store is kept; a huge one goes back to the system.
    const size_t kKeepBytes = 64u << 20;
    if (m_cells.capacity() * sizeof(Cell) + m_utf8.capacity() <= kKeepBytes) {
        spare().cells = std::move(m_cells);
        spare().utf8 = std::move(m_utf8);
    }
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
    return cellAt(m_row, index);
}

const SnapshotRecordset::Cell& SnapshotRecordset::cellAt(int row, int index) const
{
    if (row < 0 || row >= m_rows)
        noCurrentRecord();
    if (index < 0 || index >= m_names.size())
        throw EngineError(EngineError::Kind::General, QStringLiteral("Item not found in this collection."));
    return m_cells[static_cast<size_t>(row) * m_names.size() + index];
}

template <typename T>
T SnapshotRecordset::number(const Cell& c) const
{
    T n;
    std::memcpy(&n, m_utf8.data() + c.offset, sizeof n);
    return n;
}

QVariant SnapshotRecordset::value(int index) const
{
    const Cell& c = cell(index);
    switch (c.length) {
    case kNull:
        return QVariant();
    case kInteger:
        return QVariant(number<qint64>(c));
    case kFloat:
        return QVariant(number<double>(c));
    default:
        return QVariant(QString::fromUtf8(m_utf8.data() + c.offset, c.length));
    }
}

QString SnapshotRecordset::text(int index) const
{
    return textAt(m_row, index);
}

QString SnapshotRecordset::textAt(int row, int index) const
{
    const Cell& c = cellAt(row, index);
    switch (c.length) {
    case kNull:
        return QString();
    case kInteger:
        return QString::number(number<qint64>(c));
    case kFloat:
        return numberText(number<double>(c));
    default:
        return QString::fromUtf8(m_utf8.data() + c.offset, c.length);
    }
}

QUtf8StringView SnapshotRecordset::utf8View(int index) const
{
    const Cell& c = cell(index);
    return c.length >= 0 ? QUtf8StringView(m_utf8.data() + c.offset, c.length) : QUtf8StringView();
}

qint64 SnapshotRecordset::integer(int index) const
{
    return integerAt(m_row, index);
}

qint64 SnapshotRecordset::integerAt(int row, int index) const
{
    const Cell& c = cellAt(row, index);
    switch (c.length) {
    case kNull:
        return 0;
    case kInteger:
        return number<qint64>(c);
    case kFloat: {
        // A REAL past the range of a whole number reads as 0, as text that is no number does.
        const double d = number<double>(c);
        return std::fabs(d) < 9.0e18 ? QVariant(d).toLongLong() : 0;
    }
    default:
        return QString::fromUtf8(m_utf8.data() + c.offset, c.length).toLongLong();
    }
}
