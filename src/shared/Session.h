#pragma once

#include "shared/DuplicateFinder.h"
#include "shared/HotKeySet.h"
#include "shared/IniFile.h"
#include "shared/SelectionList.h"
#include "store/UndoStack.h"

#include <memory>
#include <QHash>
#include <QList>
#include <QString>

class Database;

// The last search the find window confirmed; an empty text is no search.
struct FindRequest
{
    QString text;
    bool matchCase = false;
    bool wholeCell = false;
    bool ignoreAccents = false; // remembered in varolin.ini
};

// What the program holds for the whole run: the catalogue, the settings file and what was read from
// it, and the last answers the windows hand each other. main() makes one and hands it down; the
// windows take it as a parameter. Where the older module kept these as globals:
//
//   g_sIniFile                                   iniFile()
//   g_dbCatalogue                                catalogue(), setCatalogue(), closeCatalogue()
//   g_bAutoRefresh                               autoRefresh
//   g_sSpaceSubst                                spaceSubst
//   g_iHotKeyCount, g_asHotKeyName,
//   g_aiHotKeyCode, g_asHotKeyText               hotKeys (HotKeySet: count(), at(i).name/code/text)
//   g_asSelectionWhere, g_asSelectionOrder       selections (SelectionList::Selection: where, order)
//   g_sFindText, g_bFindMatchCase,
//   g_bFindWholeCell                             lastFind
//   g_aiRowID                                    ItemRoles::RecordingId of the display model
//   g_iCurrentID                                 frmMain::currentID(); the editor's frmRecord::Result::savedID
//   g_sEditMode, g_iRecordID, g_vAtFirstRow,
//   g_vAtLastRow                                 the editor's EditRequest
//   g_bRecordUpdated, g_vNavigate                the editor's frmRecord::Result
class Session
{
public:
    explicit Session(const QString& iniFile = QString());
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const QString& iniFile() const { return m_iniFile; }
    void setIniFile(const QString& iniFile) { m_iniFile = iniFile; }

    Database* catalogue() const { return m_catalogue.get(); }
    // Another catalogue, or none, ends the history of Undo.
    void setCatalogue(std::unique_ptr<Database> catalogue);
    void closeCatalogue();
    // Hands the open catalogue over, leaving none.
    std::unique_ptr<Database> takeCatalogue();

    // Reads a key of the settings file; the default when the file, section or key is missing.
    // Leading spaces are dropped, then at most 99 characters of the value are seen; the
    // "Database" entry of [Initialisation] is read whole.
    QString ReadIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sDefault) const;
    // Every key of a section in one reading, by the same rules, keyed by the key's case-folded
    // name: a long list of Selections is read once, not once per entry.
    QHash<QString, QString> ReadIniSection(const QString& p_sSection) const;
    // Writes a key atomically. False, leaving the old file whole, when it cannot.
    bool WriteIniString(const QString& p_sSection, const QString& p_sKey, const QString& p_sValue,
                        QString* p_sError = nullptr) const;
    // Writes several keys in one replacement of the file: all of them, or none.
    bool WriteIniStrings(const QList<IniFile::Entry>& p_aEntries, QString* p_sError = nullptr) const;

    // Why the settings file cannot be read, or the empty string (IniFile::readProblem).
    QString iniProblem() const;
    // The catalogue the "Database" entry names, a relative one taken from the settings file's
    // folder; the default when there is no entry.
    QString cataloguePath(const QString& defaultCatalogue) const;
    // Whether the "Database" entry names the catalogue.
    bool namesCatalogue() const;

    // Reads "Auto-Refresh", "Space-Substitution-Char" and the hot keys.
    void LoadSettings();
    void LoadHotKeys();
    // Reads the Selections of [SQL]; the position of the default one, or -1.
    int LoadSelections();
    // Writes the Selections and the default one (-1 for none) in one replacement of the file,
    // changing only the entries that differ; on success they are the session's too.
    bool SaveSelections(const QList<SelectionList::Selection>& list, int defaultIndex, QString* error = nullptr);

    bool autoRefresh = true;
    int backupsKept = 10; // "Backups" of [Initialisation]: how many copies of the catalogue stay
    // "Column-Widths" of [Initialisation]: the grid's columns as the user dragged them, in twips;
    // empty for the grid's own widths.
    QList<int> columnWidths;
    static QString columnWidthsText(const QList<int>& twips);
    // A column's width kept, in twips: from a tenth of an inch to a foot.
    static constexpr int kMinColumnTwips = 144;
    static constexpr int kMaxColumnTwips = 17280;
    QString spaceSubst = QStringLiteral("_");
    HotKeySet hotKeys;
    QList<SelectionList::Selection> selections;
    FindRequest lastFind;
    DuplicateFinder duplicates;
    UndoStack undo; // the changes made to the catalogue in this run

private:
    QString m_iniFile;
    std::unique_ptr<Database> m_catalogue;
};
