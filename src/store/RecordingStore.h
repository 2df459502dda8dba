#pragma once

#include <memory>
#include <optional>
#include <QList>
#include <qnamespace.h>
#include <QString>

class Database;
class Recordset;

// One recording as the editor shows and saves it: seven texts, Null read as empty, and a format.
struct RecordingValues
{
    QString artist;
    QString title;
    QString year;
    QString label;
    QString catalogueNo;
    QString internationalCatalogueNo;
    QString notes;
    std::optional<qint64> format; // none when the recording names no format, or not as a number

    bool operator==(const RecordingValues&) const = default;
};

// The recordings of a catalogue, one at a time. A load keeps the table open for the edit, and the
// save that follows writes to the row the load found: a recording another program deleted
// meanwhile is refused, not written anew, and one another program changed meanwhile is written only
// when the caller says to overwrite it. Engine failures are thrown as EngineError; a failed insert
// or save leaves the edit open, to be tried again.
class RecordingStore
{
public:
    struct FormatEntry
    {
        qint64 id = 0;
        QString description;
        bool operator==(const FormatEntry&) const = default;
    };

    explicit RecordingStore(Database& catalogue);
    ~RecordingStore();
    RecordingStore(const RecordingStore&) = delete;
    RecordingStore& operator=(const RecordingStore&) = delete;

    // Opens the table for an edit, when it is not open already.
    void open();
    // The recording's values; none when the catalogue does not hold it.
    std::optional<RecordingValues> load(qint64 id);
    // Adds a recording and ends the edit; the new recording's ID.
    qint64 insert(const RecordingValues& values);
    // Writes every field of the recording and ends the edit. When the catalogue no longer holds what
    // the last load found (another program saved the recording since), nothing is written unless
    // `overwrite`: the recording as it stands now is returned and the edit stays open.
    enum class Overwrite { No, Yes };
    std::optional<RecordingValues> save(qint64 id, const RecordingValues& values, Overwrite overwrite = Overwrite::No);
    void remove(qint64 id);
    // Ends the edit without writing.
    void close();

    // The formats a recording may have, in ID order; a Null description reads as empty.
    QList<FormatEntry> formats() const;
    // Where a new recording's format starts in that list: the ninth, the last of fewer, -1 of none.
    static int newFormatPosition(int formatCount);

    // The Notes to write, from what the box showed after loading and shows now. An untouched box
    // gives back exactly what was loaded; edited lines end in LF when the loaded text's lines all
    // did, in CR LF otherwise.
    static QString notesToSave(const QString& loaded, const QString& shownAtLoad, const QString& shownNow);
    // Whether a key typed into the Year reaches it: digits, and keys that type no character.
    static bool yearAccepts(int key, Qt::KeyboardModifiers modifiers, const QString& text);
    // The Year after an edit (a key, a paste, a drop, the context menu): of the text put in, only
    // its digits stay, as many as fit in maxLength. `position` is where the caret goes.
    static QString yearAfterEdit(const QString& before, const QString& after, int maxLength, int* position);

private:
    void write(const RecordingValues& values);
    std::optional<RecordingValues> read(qint64 id);

    Database& m_catalogue;
    std::unique_ptr<Recordset> m_table;
    std::optional<qint64> m_loadedID; // the row the table stands on for the edit
    RecordingValues m_loaded;         // what the catalogue held when it was loaded
};
