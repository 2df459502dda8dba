#include "shared/DuplicateFinder.h"

#include "shared/TextFolding.h"
#include "store/Database.h"
#include "store/Statement.h"

#include <sqlite3.h>

namespace {

// Folded, without a leading "the", and only its letters and digits.
QString part(const QString& text)
{
    QString folded = TextFolding::fold(text).trimmed();
    if (folded.startsWith(QLatin1String("the ")))
        folded.remove(0, 4);
    QString kept;
    for (const QChar c : folded) {
        if (c.isLetterOrNumber())
            kept += c;
    }
    return kept;
}

qint64 dataVersion(Database& catalogue)
{
    Statement version(catalogue.handle(), QStringLiteral("PRAGMA data_version"));
    return version.step() ? version.int64(0) : -1;
}

} // namespace

QString DuplicateFinder::key(const QString& artist, const QString& title)
{
    const QString a = part(artist);
    const QString t = part(title);
    return a.isEmpty() && t.isEmpty() ? QString() : a + QChar(0x1F) + t;
}

bool DuplicateFinder::current(Database& catalogue) const
{
    // Another program's commit moves the data version; this connection's own changes the count.
    return m_catalogue == &catalogue && m_totalChanges == sqlite3_total_changes64(catalogue.handle()) &&
           m_dataVersion == dataVersion(catalogue);
}

void DuplicateFinder::markCurrent(Database& catalogue)
{
    m_catalogue = &catalogue;
    m_totalChanges = sqlite3_total_changes64(catalogue.handle());
    m_dataVersion = dataVersion(catalogue);
}

void DuplicateFinder::setKey(qint64 id, const QString& key)
{
    if (const auto old = m_keyOf.constFind(id); old != m_keyOf.constEnd())
        m_idsOf[*old].removeOne(id);
    if (key.isEmpty()) {
        m_keyOf.remove(id);
        return;
    }
    m_keyOf.insert(id, key);
    m_idsOf[key].append(id);
}

void DuplicateFinder::build(Database& catalogue)
{
    m_idsOf.clear();
    m_keyOf.clear();
    Statement all(catalogue.handle(), QStringLiteral("SELECT \"ID\", \"Artist\", \"Title\" FROM \"Recording\""));
    while (all.step())
        setKey(all.int64(0), key(all.text(1), all.text(2)));
    markCurrent(catalogue);
}

QList<DuplicateFinder::Match> DuplicateFinder::find(Database& catalogue, const QString& artist, const QString& title,
                                                    qint64 except)
{
    const QString wanted = key(artist, title);
    if (wanted.isEmpty())
        return {};
    if (!current(catalogue))
        build(catalogue);
    QList<Match> matches;
    Statement shown(catalogue.handle(),
                    QStringLiteral("SELECT \"Artist\", \"Title\", \"Format\", \"Catalogue_No\" FROM "
                                   "\"Expanded_Recording\" WHERE \"ID\" = ?1"));
    for (const qint64 id : m_idsOf.value(wanted)) {
        if (id == except)
            continue;
        sqlite3_reset(shown.handle());
        shown.bind(1, id);
        if (shown.step())
            matches.append({id, shown.text(0), shown.text(1), shown.text(2), shown.text(3)});
    }
    return matches;
}

void DuplicateFinder::remember(Database& catalogue, qint64 id, const QString& artist, const QString& title)
{
    // Only when the save is the one change since the keys were made: after any other the keys
    // are made again at the next check anyway.
    const qint64 changes = sqlite3_total_changes64(catalogue.handle());
    if (m_catalogue != &catalogue || m_dataVersion != dataVersion(catalogue) || changes != m_totalChanges + 1)
        return;
    setKey(id, key(artist, title));
    m_totalChanges = changes;
}
