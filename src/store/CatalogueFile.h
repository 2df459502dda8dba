#pragma once

#include <QString>

struct sqlite3;
class EngineError;

// What a file must be to open as a catalogue, each failure thrown as EngineError with a
// description of its own: reachable, not a Jet file, whole, and holding the tables, the query and
// the columns the program reads and writes.
class CatalogueFile
{
public:
    // Only a file that is not there may be offered as a new catalogue; one the user may not read
    // must never be.
    static void requireReachable(const QString& path);
    // A database of the older Windows program is named as such.
    static void refuseJetFile(const QString& path);
    // A copy cut short, or an empty file, is damaged.
    static void refuseCutShortFile(const QString& path);
    // Whether the file starts as every SQLite database does.
    static bool hasSqliteHeader(const QString& path);
    // The tables, query and columns, on the open connection.
    static void requireObjects(sqlite3* db, const QString& path);

    // The description of a damaged catalogue, saying why and what to do.
    static EngineError damaged(const QString& path, const QString& why);
};
