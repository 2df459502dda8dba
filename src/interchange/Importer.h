#pragma once

#include "interchange/ColumnMapping.h"
#include "interchange/FormatMatcher.h"
#include "interchange/NotesExtra.h"

#include <array>
#include <functional>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class Database;
class ImportSource;

// Brings the rows of a source into the catalogue as recordings, in one transaction: all of them
// or none. A row that is a release the catalogue holds already (ReleaseKey) is counted as present
// and not added again. Each format the file names becomes one of the catalogue's (FormatMatcher),
// or the one the user chose for it.
class Importer
{
public:
    // A format the file names for rows to be added, and what it becomes.
    struct FormatUse
    {
        QString source; // as the file writes it: "2xVinyl, LP, Album"
        QString target; // the catalogue's description, a new format's, or empty for none
        int rows = 0;
        bool isNew = false;
    };
    struct Counts
    {
        int added = 0;
        int present = 0;
        int newFormats = 0;
        int emptyRows = 0;
        QStringList yearsLeftEmpty;  // where a Year could not be read ("line 12")
        QList<FormatUse> formats;    // in the order the file first names them
        QStringList fieldsUnfilled;  // the headings of the fields no column fills
        QStringList columnsLeftOut;  // the columns that fill no field
        bool columnsInNotes = false; // ... added to Notes instead
    };
    using Fields = std::array<QString, RecordingFields::Count>;

    // Reads what the catalogue holds already; throws EngineError when the catalogue cannot be read.
    Importer(Database& db, const ImportSource& source, const ColumnMapping& mapping);

    const ColumnMapping& mapping() const { return m_mapping; }
    void setMapping(const ColumnMapping& mapping);
    // Whether the columns that fill no field are added to Notes (NotesExtra).
    bool notesExtra() const { return m_notesExtra; }
    void setNotesExtra(bool on) { m_notesExtra = on; }

    // The catalogue's formats in ID order, those a file's format may become.
    const QStringList& catalogueFormats() const { return m_catalogueFormats; }
    // What the file's format becomes: the user's choice, or else the catalogue's format it names.
    QString formatTarget(const QString& source) const;
    // The file's format becomes that one: a description the catalogue lacks is a new format, an
    // empty one leaves the format empty.
    void setFormatTarget(const QString& source, const QString& target);
    // Applies the command line's "SOURCE=TARGET" items, each naming a format of the file whole or
    // by its first part ("2xVinyl"); the whole name wins. Throws InterchangeError for a SOURCE the
    // file does not name.
    void mapFormats(const QStringList& items);

    // The fields a row becomes; *yearUnread says that its Year was not a year.
    Fields fields(int row, bool* yearUnread = nullptr) const;
    // Whether a row's fields are a release the catalogue holds already, which is not added.
    bool isPresent(const Fields& fields) const;
    // What run() would do, without writing anything.
    Counts plan() const;
    // Writes the recordings and new formats; progress(done, total) is told as rows go. Throws
    // InterchangeError when the mapping fills no field, and EngineError, having changed nothing,
    // when the catalogue refuses any of it.
    Counts run(const std::function<void(int, int)>& progress = {});

    // Why columns that fill no field cannot be imported.
    static QString noFieldMessage(const QStringList& columns);
    // "3000 recordings added, 0 already present, 2 new formats", and what was left out.
    static QString summary(const Counts& counts, bool done = true);
    // The fields left empty and the columns left out, a sentence each; empty when there are none.
    static QStringList columnsSummary(const Counts& counts, bool done = true);

private:
    Counts pass(bool write, const std::function<void(int, int)>& progress);
    // The fields as stored, but for the columns left out; *source is the format as the file names it.
    Fields storedFields(int row, bool* yearUnread, QString* source) const;
    QString sourceFormat(int row) const;
    // One more row added in the file's format source, which becomes target.
    void countFormat(Counts& counts, QHash<QString, qsizetype>& places, const QString& source,
                     const QString& target) const;
    QStringList sourceFormats() const;

    Database& m_db;
    const ImportSource& m_source;
    ColumnMapping m_mapping;
    NotesExtra m_extra;
    bool m_notesExtra = false;
    QSet<QString> m_present;            // release keys of the catalogue's recordings
    QHash<QString, qint64> m_formatIds; // case-folded description -> ID
    QStringList m_catalogueFormats;
    FormatMatcher m_matcher;
    QHash<QString, QString> m_chosen;           // case-folded source format -> the user's choice
    mutable QHash<QString, QString> m_targetOf; // source format -> what it becomes, as rows ask
    qint64 m_highestFormatId = 0;
};
