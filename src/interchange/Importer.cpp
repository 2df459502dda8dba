#include "interchange/Importer.h"

#include "interchange/ImportSource.h"
#include "interchange/InterchangeError.h"
#include "interchange/ReleaseKey.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/FormatList.h"
#include "store/Statement.h"

#include <limits>
#include <sqlite3.h>

namespace {

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

// Binds text the caller keeps alive (in utf8) until the statement has stepped.
void bindText(sqlite3_stmt* statement, int index, const QString& text, QByteArray& utf8)
{
    utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

// Names from a file, for a message: the first line of a file that is no table may be anything,
// and long.
QString shownNames(const QStringList& names, const QString& separator = QStringLiteral(", "))
{
    QStringList shown;
    for (const QString& name : names.mid(0, 20))
        shown.append(name.size() > 40 ? name.left(37) + QStringLiteral("...") : name);
    if (names.size() > 20)
        shown.append(QStringLiteral("..."));
    return shown.join(separator);
}

QString plural(int n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace

Importer::Importer(Database& db, const ImportSource& source, const ColumnMapping& mapping)
    : m_db(db), m_source(source), m_mapping(mapping), m_extra(source, mapping)
{
    Statement present(db.handle(),
                      QStringLiteral("SELECT \"Artist\", \"Title\", \"Label\", \"Catalogue_No\" FROM \"Recording\""));
    while (present.step()) {
        const QString key = ReleaseKey::of(present.text(0), present.text(1), present.text(2), present.text(3));
        if (!key.isEmpty()) // a recording that names nothing stands for no row of a file
            m_present.insert(key);
    }
    Statement formats(db.handle(), QStringLiteral("SELECT \"ID\", \"Description\" FROM \"Format\" ORDER BY \"ID\""));
    while (formats.step()) {
        m_formatIds.insert(formats.text(1).toCaseFolded(), formats.int64(0));
        m_catalogueFormats.append(formats.text(1));
        m_highestFormatId = std::max(m_highestFormatId, formats.int64(0));
    }
    m_matcher = FormatMatcher(m_catalogueFormats);
    // A recording may still point at a format deleted by another tool: a new format must not take
    // its number and quietly become that recording's format.
    Statement inUse(db.handle(), QStringLiteral("SELECT max(\"Format\") FROM \"Recording\""));
    if (inUse.step())
        m_highestFormatId = std::max(m_highestFormatId, inUse.int64(0));
}

void Importer::setMapping(const ColumnMapping& mapping)
{
    m_mapping = mapping;
    m_extra = NotesExtra(m_source, mapping);
}

QString Importer::formatTarget(const QString& source) const
{
    if (const auto chosen = m_chosen.constFind(source.toCaseFolded()); chosen != m_chosen.constEnd())
        return *chosen;
    // Only the collection export writes a format with its details; elsewhere a comma may be part
    // of a description, as in our own export.
    if (m_source.isCollectionExport())
        return m_matcher.matchDetails(source);
    const QString existing = m_matcher.find(source);
    return existing.isEmpty() ? source : existing;
}

void Importer::setFormatTarget(const QString& source, const QString& target)
{
    const QString existing = m_matcher.find(target);
    m_chosen.insert(source.toCaseFolded(), existing.isEmpty() ? FormatList::tidied(target) : existing);
    m_targetOf.clear();
}

QString Importer::sourceFormat(int row) const
{
    const int column = m_mapping.column(RecordingFields::Format);
    if (column < 0)
        return QString();
    // A new format's description follows the rules of one typed in Edit Formats.
    return FormatList::tidied(m_source.formatText(column, m_source.value(row, column)));
}

QStringList Importer::sourceFormats() const
{
    QStringList formats;
    QSet<QString> seen;
    for (int row = 0; row < m_source.rowCount(); ++row) {
        const QString format = sourceFormat(row);
        if (!format.isEmpty() && !seen.contains(format)) {
            seen.insert(format);
            formats.append(format);
        }
    }
    return formats;
}

void Importer::mapFormats(const QStringList& items)
{
    if (items.isEmpty())
        return;
    // "Vinyl,LP" and "vinyl, lp" name the same format.
    const auto normal = [](const QString& format) {
        QStringList parts = format.split(QLatin1Char(','));
        for (QString& part : parts)
            part = part.trimmed().toCaseFolded();
        return parts.join(QStringLiteral(", "));
    };
    struct Item
    {
        QString source;
        QString target;
        bool used = false;
    };
    QList<Item> parsed;
    QHash<QString, qsizetype> bySource;
    for (const QString& item : items) {
        const qsizetype equals = item.lastIndexOf(QLatin1Char('='));
        if (equals <= 0)
            throw InterchangeError(
                QStringLiteral("--map-format takes SOURCE=FORMAT; '%1' names no format of the file before '='.")
                    .arg(item));
        const QString key = normal(item.left(equals));
        if (const qsizetype earlier = bySource.value(key, -1); earlier >= 0)
            throw InterchangeError(QStringLiteral("--map-format names the format '%1' twice ('%2' and '%3').")
                                       .arg(parsed.at(earlier).source, items.at(earlier), item));
        bySource.insert(key, parsed.size());
        parsed.append({item.left(equals).trimmed(), item.mid(equals + 1)});
    }
    const QStringList formats = sourceFormats();
    for (const QString& format : formats) {
        const QString key = normal(format);
        const qsizetype whole = bySource.value(key, -1);
        const qsizetype first = bySource.value(key.section(QLatin1Char(','), 0, 0), -1);
        // Both items name the format of the file, though the whole name chooses for it.
        for (const qsizetype i : {whole, first}) {
            if (i >= 0)
                parsed[i].used = true;
        }
        if (whole >= 0 || first >= 0)
            setFormatTarget(format, parsed.at(whole >= 0 ? whole : first).target);
    }
    for (const Item& item : std::as_const(parsed)) {
        if (item.used)
            continue;
        throw InterchangeError(QStringLiteral("The file names no format '%1'. Its formats are: %2.")
                                   .arg(item.source, formats.isEmpty() ? QStringLiteral("none")
                                                                       : shownNames(formats, QStringLiteral("; "))));
    }
}

Importer::Fields Importer::storedFields(int row, bool* yearUnread, QString* source) const
{
    using namespace RecordingFields;
    const bool collectionExport = m_source.isCollectionExport();
    Fields f;
    for (int field = 0; field < Count; ++field) {
        const int column = m_mapping.column(field);
        if (column >= 0 && field != Format)
            f[field] = m_source.value(row, column);
    }
    if (collectionExport) {
        f[Artist] = ReleaseKey::withoutNumber(f[Artist]);
        f[Label] = ReleaseKey::withoutNumber(f[Label]);
    }
    if (ReleaseKey::isNoNumber(f[CatalogueNo]))
        f[CatalogueNo].clear();
    bool unread = false;
    f[Year] = yearOf(f[Year], collectionExport, &unread);
    if (yearUnread)
        *yearUnread = unread;
    *source = sourceFormat(row);
    if (!source->isEmpty()) {
        auto target = m_targetOf.constFind(*source);
        if (target == m_targetOf.constEnd())
            target = m_targetOf.insert(*source, formatTarget(*source));
        f[Format] = *target;
    }
    return f;
}

Importer::Fields Importer::fields(int row, bool* yearUnread) const
{
    QString source;
    Fields f = storedFields(row, yearUnread, &source);
    if (m_notesExtra)
        f[RecordingFields::Notes] = NotesExtra::appended(f[RecordingFields::Notes], m_extra.text(m_source, row));
    return f;
}

bool Importer::isPresent(const Fields& fields) const
{
    using namespace RecordingFields;
    return m_present.contains(ReleaseKey::of(fields[Artist], fields[Title], fields[Label], fields[CatalogueNo]));
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
    for (int field = 0; field < Count; ++field) {
        if (m_mapping.column(field) < 0)
            counts.fieldsUnfilled.append(heading(field));
    }
    counts.columnsLeftOut = m_extra.columns();
    counts.columnsInNotes = m_notesExtra && !counts.columnsLeftOut.isEmpty();
    QHash<QString, qsizetype> formatUse; // source format, also case-folded -> its place in counts.formats
    const int total = m_source.rowCount();
    for (int row = 0; row < total; ++row) {
        if (progress && row % 1024 == 0)
            progress(row, total);
        bool yearUnread = false;
        QString source;
        Fields f = storedFields(row, &yearUnread, &source);
        if (std::all_of(f.begin(), f.end(), [](const QString& s) { return s.isEmpty(); })) {
            ++counts.emptyRows;
            continue;
        }
        if (isPresent(f)) {
            ++counts.present;
            continue;
        }
        if (m_notesExtra)
            f[Notes] = NotesExtra::appended(f[Notes], m_extra.text(m_source, row));
        if (yearUnread) // only a recording added has its Year left empty
            counts.yearsLeftEmpty.append(m_source.rowPlace(row));
        if (!source.isEmpty())
            countFormat(counts, formatUse, source, f[Format]);
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
                // Refused only when written: the window lists it first, to be given another format.
                if (write && f[Format].size() > FormatList::kMaxDescription)
                    throw InterchangeError(
                        QStringLiteral("The new format \"%1...\" (%2) is longer than a format can be (%3 "
                                       "characters); is the right column the Format? Nothing has been imported.")
                            .arg(f[Format].left(40), m_source.rowPlace(row))
                            .arg(FormatList::kMaxDescription));
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

void Importer::countFormat(Counts& counts, QHash<QString, qsizetype>& places, const QString& source,
                           const QString& target) const
{
    auto place = places.constFind(source);
    if (place == places.constEnd()) {
        // "Vinyl" and "vinyl" are one format of the file.
        const QString folded = QChar(0x1F) + source.toCaseFolded();
        place = places.constFind(folded);
        if (place == places.constEnd()) {
            place = places.insert(folded, counts.formats.size());
            counts.formats.append(
                {source, target, 0, !target.isEmpty() && !m_formatIds.contains(target.toCaseFolded())});
        }
        place = places.insert(source, *place);
    }
    ++counts.formats[*place].rows;
}

QString Importer::noFieldMessage(const QStringList& columns)
{
    return QStringLiteral("No column names a field of a recording (%1). The columns are: %2.")
        .arg(RecordingFields::nameList(), shownNames(columns));
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

QStringList Importer::columnsSummary(const Counts& counts, bool done)
{
    // "Catalogue No." ends a sentence with its own full stop.
    const auto sentence = [](const QString& text) {
        return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
    };
    QStringList sentences;
    if (!counts.fieldsUnfilled.isEmpty())
        sentences.append(sentence((done ? QStringLiteral("Fields no column filled, left empty: %1")
                                        : QStringLiteral("Fields no column fills, left empty: %1"))
                                      .arg(counts.fieldsUnfilled.join(QStringLiteral(", ")))));
    if (!counts.columnsLeftOut.isEmpty()) {
        const QString what = counts.columnsInNotes ? (done ? QStringLiteral("filled no field, added to Notes")
                                                           : QStringLiteral("fill no field, to go into Notes"))
                                                   : (done ? QStringLiteral("filled no field, left out")
                                                           : QStringLiteral("fill no field, left out"));
        sentences.append(sentence(QStringLiteral("Columns that %1: %2").arg(what, shownNames(counts.columnsLeftOut))));
    }
    return sentences;
}
