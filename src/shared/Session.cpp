#include "shared/Session.h"

#include <QDir>
#include <QFileInfo>

#include "shared/DisplayModel.h"
#include "shared/modVarolin.h"
#include "store/Database.h"
#include "store/NumberText.h"

namespace {

const int kIniBufferSize = 100; // every read goes through a buffer of this size, NUL included

// The substitution text must be something other than a space and not empty, or turning it back
// into spaces would never end; such a setting falls back to the default.
QString ValidSpaceSubst(const QString& p_sText)
{
    if (p_sText.isEmpty() || p_sText.contains(QLatin1Char(' ')))
        return QStringLiteral("_");
    return p_sText;
}

// The catalogue's path is read whole: cut at 99 characters it would name another file, and the
// user would be offered a new, empty catalogue there.
bool IsReadWhole(const QString& p_sSection, const QString& p_sKey)
{
    return p_sSection.compare(QLatin1String("Initialisation"), Qt::CaseInsensitive) == 0 &&
           p_sKey.compare(QLatin1String("Database"), Qt::CaseInsensitive) == 0;
}

QString BoundedIniValue(const QString& p_sSection, const QString& p_sKey, QString p_sValue)
{
    // Leading spaces are dropped before the limit is counted, so they never cost the value its end.
    qsizetype iStart = 0;
    while (iStart < p_sValue.size() && p_sValue.at(iStart) == QLatin1Char(' '))
        ++iStart;
    p_sValue.remove(0, iStart);
    if (!IsReadWhole(p_sSection, p_sKey))
        p_sValue.truncate(kIniBufferSize - 1);
    return TrimNull(p_sValue + QChar(0));
}

} // namespace

Session::Session(const QString& iniFile) : m_iniFile(iniFile)
{}

Session::~Session() = default;

void Session::setCatalogue(std::unique_ptr<Database> catalogue)
{
    undo.clear();
    m_catalogue = std::move(catalogue);
}

std::unique_ptr<Database> Session::takeCatalogue()
{
    undo.clear();
    return std::move(m_catalogue);
}

void Session::closeCatalogue()
{
    undo.clear();
    m_catalogue.reset();
}

QString Session::ReadIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sDefault) const
{
    return BoundedIniValue(p_sSection, p_sKey, IniFile::read(m_iniFile, p_sSection, p_sKey).value_or(p_sDefault));
}

QHash<QString, QString> Session::ReadIniSection(const QString& p_sSection) const
{
    QHash<QString, QString> values;
    for (const IniFile::Entry& entry : IniFile::readSection(m_iniFile, p_sSection)) {
        const QString sKey = entry.key.toCaseFolded();
        if (!values.contains(sKey)) // the first of a key counts
            values.insert(sKey, BoundedIniValue(p_sSection, entry.key, entry.value));
    }
    return values;
}

bool Session::WriteIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sValue,
                             QString* p_sError) const
{
    return IniFile::write(m_iniFile, p_sSection, p_sKey, p_sValue, p_sError);
}

bool Session::WriteIniStrings(const QList<IniFile::Entry>& p_aEntries, QString* p_sError) const
{
    return IniFile::write(m_iniFile, p_aEntries, p_sError);
}

QString Session::iniProblem() const
{
    return IniFile::readProblem(m_iniFile);
}

bool Session::namesCatalogue() const
{
    return !ReadIniString(QStringLiteral("Initialisation"), QStringLiteral("Database"), QString()).isEmpty();
}

QString Session::cataloguePath(const QString& defaultCatalogue) const
{
    const QString entry = ReadIniString(QStringLiteral("Initialisation"), QStringLiteral("Database"), QString());
    if (entry.isEmpty())
        return defaultCatalogue;
    // Wherever the program was started from, the entry means the same file.
    return QDir::isRelativePath(entry) ? QFileInfo(m_iniFile).absoluteDir().filePath(entry) : entry;
}

namespace {

// A width in twips for each column, each within the bounds kept; anything else is the grid's own.
QList<int> ReadColumnWidths(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    QList<int> widths;
    for (const QString& part : parts) {
        bool ok = false;
        const int twips = part.trimmed().toInt(&ok);
        if (!ok || twips < Session::kMinColumnTwips || twips > Session::kMaxColumnTwips)
            return {};
        widths.append(twips);
    }
    return widths.size() == DisplayModel::kColumns ? widths : QList<int>();
}

} // namespace

QString Session::columnWidthsText(const QList<int>& twips)
{
    QStringList parts;
    for (const int w : twips)
        parts.append(QString::number(w));
    return parts.join(QLatin1Char(','));
}

void Session::LoadSettings()
{
    bool isNumber = false;
    const int backups = ReadIniString(QStringLiteral("Initialisation"), QStringLiteral("Backups"), QStringLiteral("10"))
                            .toInt(&isNumber);
    backupsKept = isNumber ? qBound(1, backups, 1000) : 10;
    columnWidths =
        ReadColumnWidths(ReadIniString(QStringLiteral("Initialisation"), QStringLiteral("Column-Widths"), QString()));
    lastFind.ignoreAccents =
        ReadIniString(QStringLiteral("Initialisation"), QStringLiteral("Find-Ignore-Accents"), QStringLiteral("0"))
            .trimmed() == QLatin1String("1");
    autoRefresh = ReadIniString(QStringLiteral("Initialisation"), QStringLiteral("Auto-Refresh"),
                                QStringLiteral("Yes")) == QLatin1String("Yes");
    spaceSubst = ValidSpaceSubst(ReadIniString(QStringLiteral("Initialisation"),
                                               QStringLiteral("Space-Substitution-Char"), QStringLiteral("_")));
    LoadHotKeys();
}

void Session::LoadHotKeys()
{
    const QHash<QString, QString> section = ReadIniSection(QStringLiteral("Hot-Keys"));
    QStringList entries;
    for (int i = 1; i <= HotKeySet::kMaxKeys; ++i)
        entries.append(section.value(QString::number(i)));
    hotKeys = HotKeySet::fromEntries(entries, spaceSubst);
}

int Session::LoadSelections()
{
    const QHash<QString, QString> section = ReadIniSection(QStringLiteral("SQL"));
    selections = SelectionList::fromSection(section);
    return SelectionList::defaultIndex(section, static_cast<int>(selections.size()));
}

bool Session::SaveSelections(const QList<SelectionList::Selection>& list, int defaultIndex, QString* error)
{
    const QString sql = QStringLiteral("SQL");
    const QHash<QString, QString> section = ReadIniSection(sql);
    const int stored = static_cast<int>(SelectionList::fromSection(section).size());
    QList<IniFile::Entry> entries;
    // Only what changed is written: every other line stays as it was, byte for byte.
    for (int i = 0; i < list.size(); ++i) {
        const QString entry = SelectionList::entryOf(list.at(i));
        if (i >= stored || SelectionList::fromEntry(section.value(QString::number(i + 1))) != list.at(i))
            entries.append({sql, QString::number(i + 1), entry});
    }
    for (int i = static_cast<int>(list.size()); i < stored; ++i)
        entries.append({sql, QString::number(i + 1), QString(), true});
    const int storedDefault = SelectionList::defaultIndex(section, stored);
    if (defaultIndex != storedDefault || defaultIndex >= list.size())
        entries.append({sql, QStringLiteral("Default"),
                        defaultIndex >= 0 ? QString::number(defaultIndex + 1) : QString(), defaultIndex < 0});
    if (!entries.isEmpty() && !WriteIniStrings(entries, error))
        return false;
    selections = list;
    return true;
}
