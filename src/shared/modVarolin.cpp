#include "shared/modVarolin.h"

#include "platform/StatusPanel.h"
#include "shared/IniFile.h"
#include "store/Database.h"
#include "store/NumberText.h"

#include <QTimer>
#include <QWidget>

QString g_sIniFile;
std::unique_ptr<Database> g_dbCatalogue;
bool g_bAutoRefresh = true;
QString g_sSpaceSubst = QStringLiteral("_");

int g_iHotKeyCount = 0;
QStringList g_asHotKeyName;
QList<int> g_aiHotKeyCode;
QStringList g_asHotKeyText;

QStringList g_asSelectionWhere;
QStringList g_asSelectionOrder;

QList<qint64> g_aiRowID;
qint64 g_iCurrentID = 0;
QString g_sEditMode;
qint64 g_iRecordID = 0;
bool g_bRecordUpdated = false;
int g_vNavigate = 0;
bool g_vAtFirstRow = false;
bool g_vAtLastRow = false;

QString g_sFindText;
bool g_bFindMatchCase = false;
bool g_bFindWholeCell = false;

namespace {

const int kIniBufferSize = 100; // every read goes through a buffer of this size, NUL included
const int kMaxHotKeys = 5;

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

void ResetModuleGlobals()
{
    g_sIniFile.clear();
    g_dbCatalogue.reset(); // closes the catalogue
    g_bAutoRefresh = true;
    g_sSpaceSubst = QStringLiteral("_");
    g_iHotKeyCount = 0;
    g_asHotKeyName.clear();
    g_aiHotKeyCode.clear();
    g_asHotKeyText.clear();
    g_asSelectionWhere.clear();
    g_asSelectionOrder.clear();
    g_aiRowID.clear();
    g_iCurrentID = 0;
    g_sEditMode.clear();
    g_iRecordID = 0;
    g_bRecordUpdated = false;
    g_vNavigate = 0;
    g_vAtFirstRow = false;
    g_vAtLastRow = false;
    g_sFindText.clear();
    g_bFindMatchCase = false;
    g_bFindWholeCell = false;
}

QString ReadIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sDefault)
{
    return BoundedIniValue(p_sSection, p_sKey, IniFile::read(g_sIniFile, p_sSection, p_sKey).value_or(p_sDefault));
}

QHash<QString, QString> ReadIniSection(const QString& p_sSection)
{
    QHash<QString, QString> values;
    for (const IniFile::Entry& entry : IniFile::readSection(g_sIniFile, p_sSection)) {
        const QString sKey = entry.key.toCaseFolded();
        if (!values.contains(sKey)) // the first of a key counts
            values.insert(sKey, BoundedIniValue(p_sSection, entry.key, entry.value));
    }
    return values;
}

bool WriteIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sValue, QString* p_sError)
{
    return IniFile::write(g_sIniFile, p_sSection, p_sKey, p_sValue, p_sError);
}

bool WriteIniStrings(const QList<IniFile::Entry>& p_aEntries, QString* p_sError)
{
    return IniFile::write(g_sIniFile, p_aEntries, p_sError);
}

QString TrimNull(const QString& p_sText)
{
    qsizetype iStart = 0;
    qsizetype iEnd = p_sText.size();
    while (iStart < iEnd && p_sText.at(iStart) == QLatin1Char(' '))
        ++iStart;
    while (iEnd > iStart && p_sText.at(iEnd - 1) == QLatin1Char(' '))
        --iEnd;
    QString sResult = p_sText.mid(iStart, iEnd - iStart);
    const qsizetype iNul = sResult.indexOf(QChar(0));
    if (iNul >= 0)
        sResult.truncate(iNul);
    return sResult;
}

void LoadSettings()
{
    g_bAutoRefresh = ReadIniString(QStringLiteral("Initialisation"), QStringLiteral("Auto-Refresh"),
                                   QStringLiteral("Yes")) == QLatin1String("Yes");
    g_sSpaceSubst = ValidSpaceSubst(ReadIniString(QStringLiteral("Initialisation"),
                                                  QStringLiteral("Space-Substitution-Char"), QStringLiteral("_")));
    LoadHotKeys();
}

void LoadHotKeys()
{
    g_asHotKeyName.clear();
    g_aiHotKeyCode.clear();
    g_asHotKeyText.clear();

    int i = 1;
    QString sValue = ReadIniString(QStringLiteral("Hot-Keys"), QStringLiteral("1"), QString());
    while (!sValue.isEmpty() && i <= kMaxHotKeys) {
        const qsizetype p1 = sValue.indexOf(QLatin1Char(','));
        const qsizetype p2 = p1 < 0 ? -1 : sValue.indexOf(QLatin1Char(','), p1 + 1);
        // An entry without its two commas ends the list like a missing one: loading it would have
        // the settings window write back an entry the user never wrote.
        if (p2 < 0)
            break;
        QString sText = sValue.mid(p2 + 1);
        for (qsizetype p = sText.indexOf(g_sSpaceSubst); p >= 0; p = sText.indexOf(g_sSpaceSubst))
            sText[p] = QLatin1Char(' ');

        g_asHotKeyName.append(sValue.left(p1));
        g_aiHotKeyCode.append(NumberText::roundHalfEven(NumberText::leadingNumber(sValue.mid(p1 + 1, p2 - p1 - 1))));
        g_asHotKeyText.append(sText);

        ++i;
        sValue = ReadIniString(QStringLiteral("Hot-Keys"), QString::number(i), QString());
    }
    g_iHotKeyCount = i - 1;
}

QString EscapeHotKeyText(const QString& p_vText)
{
    QString s = p_vText;
    for (qsizetype p = s.indexOf(QLatin1Char('(')); p >= 0; p = s.indexOf(QLatin1Char('('), p + 2))
        s.replace(p, 1, QStringLiteral("{(}"));
    for (qsizetype p = s.indexOf(QLatin1Char(')')); p >= 0; p = s.indexOf(QLatin1Char(')'), p + 2))
        s.replace(p, 1, QStringLiteral("{)}"));
    return s;
}

QString UnescapeHotKeyText(const QString& p_vText)
{
    QString s = p_vText;
    s.remove(QLatin1Char('{'));
    s.remove(QLatin1Char('}'));
    return s;
}

void ShowStatusMessage(QWidget* p_frmForm, const QString& p_sMessage, int p_iSeconds)
{
    auto* pnlStatus = p_frmForm->findChild<StatusPanel*>(QStringLiteral("pnlStatus"));
    auto* tmrMessage = p_frmForm->findChild<QTimer*>(QStringLiteral("tmrMessage"));
    if (pnlStatus)
        pnlStatus->setCaption(QLatin1Char(' ') + p_sMessage);
    if (tmrMessage) {
        // Qt runs a timer of interval 0 continuously; here 0 means "no time-out".
        tmrMessage->stop();
        if (p_iSeconds > 0)
            tmrMessage->start(p_iSeconds * 1000);
    }
}

QStringList CataloguePathCandidates(const QString& p_sWritten)
{
    qsizetype iEnd = p_sWritten.size();
    while (iEnd > 0 && p_sWritten.at(iEnd - 1) == QLatin1Char(' '))
        --iEnd;
    QStringList asCandidates{p_sWritten};
    if (iEnd > 0 && iEnd < p_sWritten.size())
        asCandidates.append(p_sWritten.left(iEnd));
    return asCandidates;
}
