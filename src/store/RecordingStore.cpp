#include "store/RecordingStore.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"

#include <algorithm>
#include <iterator>

namespace {

const int kNewFormatPosition = 8; // the ninth format

// The catalogue's column of each text.
const struct
{
    const char* column;
    QString RecordingValues::*member;
} kTexts[] = {
    {"Artist", &RecordingValues::artist},
    {"Title", &RecordingValues::title},
    {"Year", &RecordingValues::year},
    {"Label", &RecordingValues::label},
    {"Catalogue_No", &RecordingValues::catalogueNo},
    {"International_Catalogue_No", &RecordingValues::internationalCatalogueNo},
    {"Notes", &RecordingValues::notes},
};

} // namespace

RecordingStore::RecordingStore(Database& catalogue) : m_catalogue(catalogue)
{}

RecordingStore::~RecordingStore() = default;

void RecordingStore::open()
{
    if (m_table)
        return;
    m_table = m_catalogue.openRecordset(QStringLiteral("Recording"));
    m_table->setIndex(QStringLiteral("PrimaryKey"));
}

std::optional<RecordingValues> RecordingStore::load(qint64 id)
{
    open();
    m_loadedID.reset();
    std::optional<RecordingValues> values = read(id);
    if (values) {
        m_loadedID = id;
        m_loaded = *values;
    }
    return values;
}

std::optional<RecordingValues> RecordingStore::read(qint64 id)
{
    m_table->seek(QStringLiteral("="), id);
    if (m_table->noMatch())
        return std::nullopt;
    RecordingValues values;
    for (const auto& text : kTexts)
        values.*text.member = m_table->text(m_table->fieldIndex(QLatin1String(text.column)));
    const QVariant format = m_table->field(QStringLiteral("Format"));
    bool isNumber = false;
    const qint64 formatID = format.isNull() ? 0 : format.toLongLong(&isNumber);
    if (isNumber)
        values.format = formatID;
    return values;
}

qint64 RecordingStore::insert(const RecordingValues& values)
{
    open();
    m_loadedID.reset();
    m_table->addNew();
    write(values);
    m_table->update();
    // The ID column of the row just stored, even when another program added one after it.
    const qint64 id = m_table->lastModified();
    close();
    return id;
}

std::optional<RecordingValues> RecordingStore::save(qint64 id, const RecordingValues& values, Overwrite overwrite)
{
    if (m_loadedID != id && !load(id))
        throw EngineError(EngineError::Kind::General,
                          QStringLiteral("The recording %1 is not in the catalogue; another program may have "
                                         "deleted it.")
                              .arg(id));
    // What is stored is compared with what was loaded under the write lock, so that no other
    // program's save can come between the check and the write.
    m_catalogue.beginTrans();
    try {
        const std::optional<RecordingValues> stored = read(id);
        if (!stored)
            throw EngineError(EngineError::Kind::General,
                              QStringLiteral("The recording is no longer in the catalogue; another program may have "
                                             "deleted it."));
        if (overwrite == Overwrite::No && *stored != m_loaded) {
            m_catalogue.rollback();
            return stored;
        }
        m_table->edit();
        write(values);
        m_table->update();
        m_catalogue.commitTrans();
    } catch (const EngineError&) {
        m_catalogue.rollbackQuietly();
        throw;
    }
    close();
    return std::nullopt;
}

void RecordingStore::write(const RecordingValues& values)
{
    // Empty texts are written as zero-length strings, never Null.
    for (const auto& text : kTexts) {
        const QString& value = values.*text.member;
        m_table->setField(QLatin1String(text.column), value.isNull() ? QStringLiteral("") : value);
    }
    m_table->setField(QStringLiteral("Format"), values.format ? QVariant(*values.format) : QVariant());
}

void RecordingStore::remove(qint64 id)
{
    m_catalogue.execute(Catalogue::deleteRecordingStatement(id));
}

void RecordingStore::close()
{
    m_table.reset();
    m_loadedID.reset();
}

QList<RecordingStore::FormatEntry> RecordingStore::formats() const
{
    QList<FormatEntry> formats;
    const std::unique_ptr<SnapshotRecordset> rs = m_catalogue.openSnapshot(Catalogue::formatListStatement());
    const int iID = rs->fieldIndex(QStringLiteral("ID"));
    const int iDescription = rs->fieldIndex(QStringLiteral("Description"));
    for (; !rs->eof(); rs->moveNext())
        formats.append({rs->integer(iID), rs->text(iDescription)});
    return formats;
}

int RecordingStore::newFormatPosition(int formatCount)
{
    return std::min(kNewFormatPosition, formatCount - 1);
}

QString RecordingStore::notesToSave(const QString& loaded, const QString& shownAtLoad, const QString& shownNow)
{
    if (shownNow == shownAtLoad)
        return loaded;
    QString notes = shownNow;
    // The catalogue's texts have always ended their lines in CR LF; only Notes written by another
    // tool with bare LF keep that.
    if (!loaded.contains(QLatin1Char('\n')) || loaded.contains(QLatin1String("\r\n")))
        notes.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return notes;
}

QString RecordingStore::yearAfterEdit(const QString& before, const QString& after, int maxLength, int* position)
{
    // What the edit put in lies between the text the two share at the front and at the back.
    qsizetype front = 0;
    while (front < before.size() && front < after.size() && before.at(front) == after.at(front))
        ++front;
    qsizetype back = 0;
    while (back < before.size() - front && back < after.size() - front &&
           before.at(before.size() - 1 - back) == after.at(after.size() - 1 - back))
        ++back;
    QString digits;
    for (const QChar c : QStringView(after).mid(front, after.size() - front - back)) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    digits.truncate(qMax(qsizetype(0), maxLength - front - back));
    *position = static_cast<int>(front + digits.size());
    return after.left(front) + digits + after.right(back);
}

bool RecordingStore::yearAccepts(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    // Keys that type nothing (arrows, Tab, Backspace, Delete, whatever text the system gives them)
    // and editing commands (Ctrl+V) pass as they are; input methods may send several characters.
    static const int aiKeys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backspace, Qt::Key_Delete};
    if (text.isEmpty() || modifiers & (Qt::ControlModifier | Qt::AltModifier) ||
        std::find(std::begin(aiKeys), std::end(aiKeys), key) != std::end(aiKeys))
        return true;
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}
