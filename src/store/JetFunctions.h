#pragma once

#include <QStringView>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

// The Jet dialect's functions, its LIKE and its case-blind text order, registered on each catalogue
// connection under names of our own so that none of SQLite's like-named functions answers instead.
class JetFunctions
{
public:
    struct Info
    {
        const char* jetName;
        const char* sqlName;
        int minArgs;
        int maxArgs;
        bool aggregate;
        bool deterministic;
        void (*function)(sqlite3_context*, int, sqlite3_value**);
    };

    // The function a Jet name stands for, without regard to case; nullptr when Jet has none.
    static const Info* find(QStringView jetName);

    // Registers the functions, "like" and the collation "NOCASE" on the connection; returns the first
    // result code that is not SQLITE_OK, or SQLITE_OK.
    static int registerAll(sqlite3* db);
};
