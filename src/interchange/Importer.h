#pragma once

#include "interchange/ColumnMapping.h"

#include <array>
#include <functional>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class Database;
class ImportSource;

// Brings the rows of a source into the catalogue as recordings, in one transaction: all of them
// or none. A row whose Artist, Title, Format, Label and Catalogue_No equal (without regard to
// case) those of a recording already in the catalogue is counted as present and not added again.
class Importer
{
public:
    struct Counts
    {
        int added = 0;
        int present = 0;
        int newFormats = 0;
        int emptyRows = 0;
        QStringList yearsLeftEmpty; // where a Year could not be read ("line 12")
    };
    using Fields = std::array<QString, RecordingFields::Count>;

    // Reads what the catalogue holds already; throws EngineError when the catalogue cannot be read.
    Importer(Database& db, const ImportSource& source, const ColumnMapping& mapping);

    const ColumnMapping& mapping() const { return m_mapping; }
    void setMapping(const ColumnMapping& mapping) { m_mapping = mapping; }

    // The fields a row becomes; *yearUnread says that its Year was not a year.
    Fields fields(int row, bool* yearUnread = nullptr) const;
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

private:
    Counts pass(bool write, const std::function<void(int, int)>& progress);
    static QString recordingKey(const QString& artist, const QString& title, const QString& format,
                                const QString& label, const QString& catalogueNo);

    Database& m_db;
    const ImportSource& m_source;
    ColumnMapping m_mapping;
    QSet<QString> m_present;            // keys of the catalogue's recordings
    QHash<QString, qint64> m_formatIds; // case-folded description -> ID
    qint64 m_highestFormatId = 0;
};
