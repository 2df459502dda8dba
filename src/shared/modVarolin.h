#pragma once

#include "shared/IniFile.h"

#include <memory>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Database;
class QWidget;

// Shared state of the whole run and the procedures every window uses.

extern QString g_sIniFile;
extern std::unique_ptr<Database> g_dbCatalogue;
extern bool g_bAutoRefresh;
extern QString g_sSpaceSubst;

extern int g_iHotKeyCount;
extern QStringList g_asHotKeyName;
extern QList<int> g_aiHotKeyCode;
extern QStringList g_asHotKeyText;

extern QStringList g_asSelectionWhere;
extern QStringList g_asSelectionOrder;

// Recording IDs are 64-bit: a catalogue filled by another tool may hold IDs past 2^31.
extern QList<qint64> g_aiRowID;
extern qint64 g_iCurrentID;
extern QString g_sEditMode;
extern qint64 g_iRecordID;
extern bool g_bRecordUpdated;
extern int g_vNavigate;
extern bool g_vAtFirstRow;
extern bool g_vAtLastRow;

extern QString g_sFindText;
extern bool g_bFindMatchCase;
extern bool g_bFindWholeCell;

// Puts every global back to its state at the start of a run (the catalogue is closed).
void ResetModuleGlobals();

// Reads a key of g_sIniFile; the default when the file, section or key is missing. Leading spaces
// are dropped, then at most 99 characters of the value are seen; the "Database" entry of
// [Initialisation] is read whole.
QString ReadIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sDefault);
// Every key of a section of g_sIniFile in one reading, by the same rules, keyed by the key's
// case-folded name: a long list of Selections is read once, not once per entry.
QHash<QString, QString> ReadIniSection(const QString& p_sSection);

// Writes a key of g_sIniFile atomically. Returns false, leaving the old file whole, when it cannot.
bool WriteIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sValue,
                    QString* p_sError = nullptr);
// Writes several keys of g_sIniFile in one replacement of the file: all of them, or none.
bool WriteIniStrings(const QList<IniFile::Entry>& p_aEntries, QString* p_sError = nullptr);

QString TrimNull(const QString& p_sText);

// Where a "Database" entry may mean: a hand-edited path may carry spaces after it, so the path as
// written is looked for first, then the path without them.
QStringList CataloguePathCandidates(const QString& p_sWritten);

// Reads "Auto-Refresh", "Space-Substitution-Char" and the hot keys of g_sIniFile into the globals.
void LoadSettings();
void LoadHotKeys();

QString EscapeHotKeyText(const QString& p_vText);
QString UnescapeHotKeyText(const QString& p_vText);

// Shows a message in the window's status line (its "pnlStatus") for p_iSeconds, restarting its
// "tmrMessage"; 0 seconds keeps the message until the next one.
void ShowStatusMessage(QWidget* p_frmForm, const QString& p_sMessage, int p_iSeconds);
