#include "interchange/Importer.h"

#include "interchange/ImportSource.h"
#include "interchange/InterchangeError.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/Statement.h"

#include <limits>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

// The online database's number telling artists of one name apart: "Nirvana (2)", also before
// the next name of a joined credit.
QString withoutDisambiguation(const QString& artist)
{
    static const QRegularExpression number(
        QStringLiteral(R"(\s\(\d+\)(?=$|\s*[,&/+*]|\s+(?:and|feat\.?|featuring|vs\.?|with|x)\s))"),
        QRegularExpression::CaseInsensitiveOption);
    if (!artist.contains(QLatin1Char('(')))
        return artist;
    return QString(artist).remove(number);
}

bool isDigits(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// A Year of four characters at most: as the catalogue would hold it (up to four digits), or the
// leading year of a date ("1975-03-21"). Anything else is not read; *unread says so.
QString yearOf(const QString& value, bool collectionExport, bool* unread)
{
    const QString s = value.trimmed();
    if (s.isEmpty() || (collectionExport && s == QLatin1String("0")))
        return QString();
    if (s.size() <= 4 && isDigits(s))
        return s;
    if (s.size() > 4 && isDigits(s.left(4)) && !s.at(4).isDigit())
        return s.left(4);
    *unread = true;
    return QString();
}

// Text folded for comparing without regard to case; most of a collection is ASCII, which folds by
// itself far faster than through the Unicode tables.
void appendFolded(QString& out, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out += text.mid(&c - text.constData()).toCaseFolded();
            return;
        }
        out += c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
    }
}

// Binds text the caller keeps alive (in utf8) until the statement has stepped.
void bindText(sqlite3_stmt* statement, int index, const QString& text, QByteArray& utf8)
{
    utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

QString plural(int n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace

Importer::Importer(Database& db, const ImportSource& source, const ColumnMapping& mapping)
    : m_db(db), m_source(source), m_mapping(mapping)
{
    Statement present(db.handle(),
                      QStringLiteral("SELECT \"Artist\", \"Title\", \"Format\", \"Label\", \"Catalogue_No\" FROM "
                                     "\"Expanded_Recording\""));
    while (present.step())
        m_present.insert(
            recordingKey(present.text(0), present.text(1), present.text(2), present.text(3), present.text(4)));
    Statement formats(db.handle(), QStringLiteral("SELECT \"ID\", \"Description\" FROM \"Format\""));
    while (formats.step()) {
        m_formatIds.insert(formats.text(1).toCaseFolded(), formats.int64(0));
        m_highestFormatId = std::max(m_highestFormatId, formats.int64(0));
    }
    // A recording may still point at a format deleted by another tool: a new format must not take
    // its number and quietly become that recording's format.
    Statement inUse(db.handle(), QStringLiteral("SELECT max(\"Format\") FROM \"Recording\""));
    if (inUse.step())
        m_highestFormatId = std::max(m_highestFormatId, inUse.int64(0));
}

QString Importer::recordingKey(const QString& artist, const QString& title, const QString& format, const QString& label,
                               const QString& catalogueNo)
{
    QString key;
    key.reserve(artist.size() + title.size() + format.size() + label.size() + catalogueNo.size() + 4);
    for (const QString* part : {&artist, &title, &format, &label, &catalogueNo}) {
        if (part != &artist)
            key += QChar(0x1F);
        appendFolded(key, *part);
    }
    return key;
}

Importer::Fields Importer::fields(int row, bool* yearUnread) const
{
    using namespace RecordingFields;
    const bool collectionExport = m_source.isCollectionExport();
    Fields f;
    for (int field = 0; field < Count; ++field) {
        const int column = m_mapping.column(field);
        if (column >= 0)
            f[field] = m_source.value(row, column);
    }
    if (collectionExport)
        f[Artist] = withoutDisambiguation(f[Artist]);
    bool unread = false;
    f[Year] = yearOf(f[Year], collectionExport, &unread);
    if (yearUnread)
        *yearUnread = unread;
    // The online database lists a format with its details: "Vinyl, LP, Album" is Vinyl.
    if (collectionExport)
        f[Format] = f[Format].section(QLatin1Char(','), 0, 0);
    else if (m_mapping.column(Format) >= 0)
        f[Format] = m_source.formatText(m_mapping.column(Format), f[Format]);
    f[Format] = f[Format].trimmed();
    return f;
}

Importer::Counts Importer::plan() const
{
    return const_cast<Importer*>(this)->pass(false, {});
}

Importer::Counts Importer::run(const std::function<void(int, int)>& progress)
{
    if (m_mapping.isEmpty())
        throw InterchangeError(noFieldMessage(m_source.columns()));
    m_db.beginTrans();
    try {
        const Counts counts = pass(true, progress);
        m_db.commitTrans();
        return counts;
    } catch (...) {
        m_db.rollbackQuietly();
        throw;
    }
}

Importer::Counts Importer::pass(bool write, const std::function<void(int, int)>& progress)
{
    using namespace RecordingFields;
    std::unique_ptr<Statement> addFormat, addRecording;
    if (write) {
        addFormat = std::make_unique<Statement>(
            m_db.handle(), QStringLiteral("INSERT INTO \"Format\" (\"ID\", \"Description\") VALUES (?1, ?2)"));
        addRecording = std::make_unique<Statement>(
            m_db.handle(),
            QStringLiteral(
                "INSERT INTO \"Recording\" (\"Artist\", \"Title\", \"Year\", \"Format\", \"Label\", \"Catalogue_No\", "
                "\"International_Catalogue_No\", \"Notes\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));
    }
    QHash<QString, qint64> formatIds = m_formatIds;
    qint64 highestFormatId = m_highestFormatId;
    Counts counts;
    const int total = m_source.rowCount();
    for (int row = 0; row < total; ++row) {
        if (progress && row % 1024 == 0)
            progress(row, total);
        bool yearUnread = false;
        const Fields f = fields(row, &yearUnread);
        if (std::all_of(f.begin(), f.end(), [](const QString& s) { return s.isEmpty(); })) {
            ++counts.emptyRows;
            continue;
        }
        if (m_present.contains(recordingKey(f[Artist], f[Title], f[Format], f[Label], f[CatalogueNo]))) {
            ++counts.present;
            continue;
        }
        if (yearUnread) // only a recording added has its Year left empty
            counts.yearsLeftEmpty.append(m_source.rowPlace(row));
        qint64 formatId = 0;
        if (!f[Format].isEmpty()) {
            const QString folded = f[Format].toCaseFolded();
            formatId = formatIds.value(folded, 0);
            if (formatId == 0) {
                // Past the largest ID the next would wrap round to a negative one.
                if (highestFormatId == std::numeric_limits<qint64>::max())
                    throw InterchangeError(
                        QStringLiteral("The new format \"%1\" (%2) cannot be added: the highest Format ID is already "
                                       "in use. Nothing has been imported.")
                            .arg(f[Format], m_source.rowPlace(row)));
                formatId = ++highestFormatId;
                formatIds.insert(folded, formatId);
                ++counts.newFormats;
                if (write) {
                    sqlite3_stmt* s = addFormat->handle();
                    sqlite3_reset(s);
                    sqlite3_bind_int64(s, 1, formatId);
                    QByteArray description;
                    bindText(s, 2, f[Format], description);
                    addFormat->step();
                }
            }
        }
        ++counts.added;
        if (!write)
            continue;
        sqlite3_stmt* s = addRecording->handle();
        sqlite3_reset(s);
        std::array<QByteArray, Count> utf8;
        for (int field = 0; field < Count; ++field) {
            if (field != Format)
                bindText(s, field + 1, f[field], utf8[field]);
        }
        if (formatId != 0)
            sqlite3_bind_int64(s, Format + 1, formatId);
        else
            sqlite3_bind_null(s, Format + 1);
        addRecording->step();
    }
    if (progress)
        progress(total, total);
    return counts;
}

QString Importer::noFieldMessage(const QStringList& columns)
{
    // The first line of a file that is no table may be anything, and long.
    QStringList shown;
    for (const QString& column : columns.mid(0, 20))
        shown.append(column.size() > 40 ? column.left(37) + QStringLiteral("...") : column);
    if (columns.size() > 20)
        shown.append(QStringLiteral("..."));
    return QStringLiteral("No column names a field of a recording (%1). The columns are: %2.")
        .arg(RecordingFields::nameList(), shown.join(QStringLiteral(", ")));
}

QString Importer::summary(const Counts& counts, bool done)
{
    QString s = done ? QStringLiteral("%1 added, %2 already present, %3")
                     : QStringLiteral("%1 to be added, %2 already in the catalogue, %3");
    s = s.arg(plural(counts.added, "recording", "recordings"), QString::number(counts.present),
              plural(counts.newFormats, "new format", "new formats"));
    if (!counts.yearsLeftEmpty.isEmpty()) {
        QStringList places = counts.yearsLeftEmpty.mid(0, 5);
        if (counts.yearsLeftEmpty.size() > 5)
            places.append(QStringLiteral("..."));
        s += QStringLiteral("; the Year of %1 was not a year and was left empty (%2)")
                 .arg(plural(int(counts.yearsLeftEmpty.size()), "row", "rows"), places.join(QStringLiteral(", ")));
    }
    if (counts.emptyRows > 0)
        s += QStringLiteral("; %1 skipped").arg(plural(counts.emptyRows, "empty row", "empty rows"));
    return s;
}
