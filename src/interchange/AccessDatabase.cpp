#include "interchange/AccessDatabase.h"

#include "interchange/ColumnMapping.h"
#include "interchange/FileSource.h"
#include "interchange/InterchangeError.h"
#include "store/JetDate.h"
#include "store/JetFile.h"

#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <vector>

// libmdb's header includes glib's inside extern "C", which glib's C++ parts do not allow.
#include <glib.h>
extern "C" {
#include <mdbtools.h>
}

struct AccessDatabase::Handle
{
    MdbHandle* mdb = nullptr;
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }
};

namespace {

// Jet stores a date as a day number, its fraction the time of day.
QString dateText(double days)
{
    int seconds = 0;
    const QDate date = JetDate::fromDayNumber(days, &seconds);
    if (!date.isValid())
        return QString();
    if (seconds == 0)
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    return date.toString(QStringLiteral("yyyy-MM-dd ")) +
           QTime(0, 0).addSecs(seconds).toString(QStringLiteral("hh:mm:ss"));
}

bool isNumericType(int type)
{
    return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT || type == MDB_NUMERIC;
}

bool isReadable(int type)
{
    return type != MDB_OLE && type != MDB_BINARY && type != MDB_COMPLEX;
}

// Tables a user never made: Jet's own, and the hidden ones newer files keep attachments in.
bool isSystemTable(const QString& name)
{
    static const QRegularExpression attachments(QStringLiteral("^f_[0-9A-F]{32}_"));
    return name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive) || name.startsWith(QLatin1Char('~')) ||
           attachments.match(name).hasMatch();
}

MdbColumn* columnAt(MdbTableDef* table, unsigned i)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
}

struct TableDef
{
    MdbTableDef* def = nullptr;
    ~TableDef()
    {
        if (def)
            mdb_free_tabledef(def);
    }
};

// The longest memo text read whole. The library cuts every text at its bind size, by default
// 16 KB, which notes may pass; other texts are at most 255 characters.
const size_t kMemoBytes = size_t(1) << 22;

// Sets the library's bind size for as long as a table is read.
struct BindSize
{
    MdbHandle* mdb;
    ~BindSize() { mdb_set_bind_size(mdb, MDB_BIND_SIZE); }
};

// The row just fetched, as the library took it apart: each field's place, size and null flag;
// empty when the row cannot even be found again.
std::vector<MdbField> crackedRow(MdbHandle* mdb, MdbTableDef* table)
{
    std::vector<MdbField> fields(table->num_cols);
    int start = 0;
    size_t size = 0;
    if (table->cur_row == 0 || mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0 ||
        mdb_crack_row(table, start, size, fields.data()) < int(table->num_cols))
        fields.clear();
    return fields;
}

// A value the row cannot hold (its place runs outside the page, or backwards: the row's table of
// offsets is damaged), one flagged empty that holds bytes or an automatic number that is empty
// (the row's null flags were changed), or a memo the row says holds text that came back empty
// (the library could not reach the page its text lies on). The library reads on past all of
// them, at most saying so on its own output.
bool valueDamaged(MdbHandle* mdb, MdbColumn* column, const MdbField& field, int length)
{
    if (field.is_null)
        return !column->is_fixed && field.siz > 0;
    if (field.siz < 0 || field.start < 0 || field.start + field.siz > int(mdb->fmt->pg_size))
        return true;
    if ((column->is_long_auto || column->is_uuid_auto) && length <= 0)
        return true;
    if (column->col_type != MDB_MEMO || length > 0 || field.siz < 4)
        return false;
    // The stored length sits in the value's first four bytes; two are only a compression mark.
    const quint32 stored = quint32(mdb_get_int32(mdb->pg_buf, field.start)) & 0x3FFFFFFF;
    return stored > 2;
}

QString unreadable(MdbTableDef* table, MdbColumn* column, qsizetype rowsRead)
{
    return QStringLiteral("A value in the column '%1' of the table '%2' could not be read (row %3).")
        .arg(QString::fromUtf8(column->name), QString::fromUtf8(table->name))
        .arg(rowsRead + 1);
}

// Every row of a table, as text; throws InterchangeError naming the table for a memo text too long
// to read whole.
QList<QStringList> readRows(MdbHandle* mdb, MdbTableDef* table)
{
    const unsigned n = table->num_cols;
    std::vector<QByteArray> buffers(n);
    std::vector<int> lengths(n, 0);
    const BindSize restore{mdb};
    mdb_set_bind_size(mdb, kMemoBytes);
    for (unsigned c = 0; c < n; ++c) {
        const int type = columnAt(table, c)->col_type;
        if (!isReadable(type))
            continue;
        buffers[c] = QByteArray(type == MDB_MEMO ? qsizetype(kMemoBytes) : MDB_BIND_SIZE, '\0');
        mdb_bind_column(table, int(c) + 1, buffers[c].data(), &lengths[c]);
    }
    QList<QStringList> rows;
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        QStringList row;
        row.reserve(n);
        const std::vector<MdbField> fields = crackedRow(mdb, table);
        if (fields.empty())
            throw InterchangeError(QStringLiteral("Row %1 of the table '%2' could not be read.")
                                       .arg(rows.size() + 1)
                                       .arg(QString::fromUtf8(table->name)));
        for (unsigned c = 0; c < n; ++c) {
            MdbColumn* column = columnAt(table, c);
            if (valueDamaged(mdb, column, fields[c], lengths[c]))
                throw InterchangeError(unreadable(table, column, rows.size()));
            if (!isReadable(column->col_type) || lengths[c] <= 0) {
                row.append(QString());
            } else if (column->col_type == MDB_DATETIME) {
                // The library's own formatting goes wrong before 1900. A date is eight bytes, and
                // one beyond the years a date can have is a damaged value, not an empty one.
                const QString date =
                    column->cur_value_len == 8 ? dateText(mdb_pg_get_double(mdb, column->cur_value_start)) : QString();
                if (date.isEmpty())
                    throw InterchangeError(unreadable(table, column, rows.size()));
                row.append(date);
            } else {
                if (size_t(lengths[c]) + 1 >= kMemoBytes)
                    throw InterchangeError(QStringLiteral("The table '%1' holds a text of over four megabytes in its "
                                                          "column '%2', which cannot be imported whole.")
                                               .arg(QString::fromUtf8(table->name), QString::fromUtf8(column->name)));
                row.append(QString::fromUtf8(buffers[c].constData(), qstrnlen(buffers[c].constData(), lengths[c])));
            }
        }
        rows.append(row);
    }
    return rows;
}

// Every row the table's definition counts was read, and no more: past the end of a file cut short
// the library finds no more rows and says nothing, and a page whose count of rows was changed gives
// it rows that are not there.
bool readWhole(MdbTableDef* table, qsizetype rowsRead)
{
    return rowsRead == qsizetype(table->num_rows);
}

// The file's table of objects, which lists its tables, reads whole: every row, and every row's
// properties. The library reads them to list the tables, and may loop for ever on properties cut
// short by a damaged file.
bool objectsReadWhole(MdbHandle* mdb)
{
    MdbCatalogEntry objects{};
    objects.mdb = mdb;
    objects.object_type = MDB_TABLE;
    objects.table_pg = 2;
    std::strcpy(objects.object_name, "MSysObjects");
    TableDef def{mdb_read_table(&objects)};
    if (!def.def || !mdb_read_columns(def.def))
        return false;
    QByteArray properties(MDB_BIND_SIZE, '\0');
    char name[] = "LvProp";
    const int column = mdb_bind_column_by_name(def.def, name, properties.data(), nullptr);
    MdbColumn* lvProp = column > 0 ? columnAt(def.def, unsigned(column - 1)) : nullptr;
    qsizetype rows = 0;
    mdb_rewind_table(def.def);
    while (mdb_fetch_row(def.def)) {
        ++rows;
        if (!lvProp || lvProp->cur_value_len == 0)
            continue;
        const size_t declared = mdb_get_int32(properties.data(), 0) & 0x00FFFFFF;
        size_t read = 0;
        std::free(mdb_ole_read_full(mdb, lvProp, &read));
        if (read != declared)
            return false;
    }
    return readWhole(def.def, rows);
}

// A file made of whole pages: 2048 bytes in Jet 3, 4096 in later versions.
bool isWholePages(const QString& path)
{
    const qint64 page = JetFile::kindOfFile(path) == JetFile::Kind::Jet3 ? 2048 : 4096;
    return QFileInfo(path).size() % page == 0;
}

// Jet 3 files keep text in the Windows code page of the machine that wrote them, Jet 4 and later
// in UTF-16. The library would take both from the environment; the program reads UTF-8 from it.
bool useUtf8(MdbHandle* mdb)
{
    mdb_iconv_close(mdb);
    const char* stored = IS_JET3(mdb) ? "CP1252" : "UCS-2LE";
    mdb->iconv_in = iconv_open("UTF-8", stored);
    mdb->iconv_out = iconv_open(stored, "UTF-8");
    return mdb->iconv_in != iconv_t(-1) && mdb->iconv_out != iconv_t(-1);
}

} // namespace

AccessDatabase::AccessDatabase(const QString& path) : m_path(path), m_handle(std::make_unique<Handle>())
{
    FileSource::refuseUnreadable(path);
    if (!hasAccessSignature(path))
        throw InterchangeError(
            QStringLiteral("'%1' is not an Access database (it does not begin as one does).").arg(path));

    if (!isWholePages(path))
        throw InterchangeError(QStringLiteral("'%1' is cut short: it ends part-way through a page of the database. "
                                              "It may have been copied or downloaded only in part.")
                                   .arg(path));

    m_handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!m_handle->mdb || !useUtf8(m_handle->mdb) || !objectsReadWhole(m_handle->mdb) ||
        !mdb_read_catalog(m_handle->mdb, MDB_TABLE))
        throw InterchangeError(
            QStringLiteral("'%1' could not be read as an Access database; it may be damaged.").arg(path));
    MdbHandle* mdb = m_handle->mdb;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        const auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        const QString name = QString::fromUtf8(entry->object_name);
        if (entry->object_type == MDB_TABLE && !isSystemTable(name))
            m_tables.append(name);
    }
}

AccessDatabase::~AccessDatabase() = default;

bool AccessDatabase::isAccessFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return hasAccessSignature(path) || suffix.compare(QLatin1String("mdb"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("accdb"), Qt::CaseInsensitive) == 0;
}

bool AccessDatabase::hasAccessSignature(const QString& path)
{
    if (!QFileInfo(path).isFile()) // a pipe would block the read
        return false;
    // A file shorter than two pages cannot hold a catalogue of tables.
    return JetFile::kindOfFile(path) != JetFile::Kind::None && QFileInfo(path).size() >= 4096;
}

QString AccessDatabase::tableNamed(const QString& name) const
{
    for (const QString& t : m_tables) {
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    throw InterchangeError(QStringLiteral("'%1' has no table named '%2'. Its tables are: %3.")
                               .arg(m_path, name, m_tables.join(QStringLiteral(", "))));
}

QString AccessDatabase::recordingTable() const
{
    QStringList matching;
    for (const QString& table : m_tables) {
        const ColumnMapping mapping = ColumnMapping::match(columnsOf(table));
        if (mapping.column(RecordingFields::Artist) >= 0 && mapping.column(RecordingFields::Title) >= 0)
            matching.append(table);
    }
    return matching.size() == 1 ? matching.first() : QString();
}

QStringList AccessDatabase::columnsOf(const QString& name) const
{
    QByteArray utf8 = tableNamed(name).toUtf8();
    TableDef def{mdb_read_table_by_name(m_handle->mdb, utf8.data(), MDB_TABLE)};
    QStringList columns;
    if (def.def && mdb_read_columns(def.def)) {
        for (unsigned c = 0; c < def.def->num_cols; ++c)
            columns.append(QString::fromUtf8(columnAt(def.def, c)->name));
    }
    return columns;
}

std::unique_ptr<AccessDatabase::Table> AccessDatabase::readTable(const QString& name) const
{
    const QString actual = tableNamed(name);
    const auto damaged = [this](const QString& tableName) {
        return QStringLiteral("The table '%1' of '%2' could not be read; the file may be damaged.")
            .arg(tableName, m_path);
    };
    auto open = [this, &damaged](const QString& tableName) {
        QByteArray utf8 = tableName.toUtf8();
        MdbTableDef* def = mdb_read_table_by_name(m_handle->mdb, utf8.data(), MDB_TABLE);
        if (!def || !mdb_read_columns(def)) {
            if (def)
                mdb_free_tabledef(def);
            throw InterchangeError(damaged(tableName));
        }
        return def;
    };

    auto table = std::unique_ptr<Table>(new Table);
    {
        TableDef def{open(actual)};
        for (unsigned c = 0; c < def.def->num_cols; ++c) {
            table->m_columns.append(QString::fromUtf8(columnAt(def.def, c)->name));
            table->m_numeric.append(isNumericType(columnAt(def.def, c)->col_type));
        }
        table->m_rows = readRows(m_handle->mdb, def.def);
        if (!readWhole(def.def, table->m_rows.size()))
            throw InterchangeError(damaged(actual));
    }

    // Formats kept by number are named by the file's own Format table.
    for (const QString& t : m_tables) {
        if (t.compare(QLatin1String("Format"), Qt::CaseInsensitive) != 0 || t == actual)
            continue;
        TableDef def{open(t)};
        int id = -1, description = -1;
        for (unsigned c = 0; c < def.def->num_cols; ++c) {
            const QString column = QString::fromUtf8(columnAt(def.def, c)->name);
            if (column.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0)
                id = int(c);
            else if (column.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0)
                description = int(c);
        }
        if (id < 0 || description < 0)
            break;
        const QList<QStringList> formats = readRows(m_handle->mdb, def.def);
        if (!readWhole(def.def, formats.size()))
            throw InterchangeError(damaged(t));
        for (const QStringList& row : formats)
            table->m_formatDescriptions.insert(row.value(id), row.value(description));
        break;
    }
    return table;
}

QString AccessDatabase::Table::formatText(int column, const QString& value) const
{
    if (!m_numeric.value(column) || m_formatDescriptions.isEmpty())
        return value;
    return m_formatDescriptions.value(value);
}
