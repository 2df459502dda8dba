#pragma once

#include <QString>
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

    // Registers the functions, "like" and the collation "NOCASE" on the connection.
    static void registerAll(sqlite3* db);

    // Jet's LIKE: * ? # [list] [!list] [a-z], without regard to case. Returns false with an error
    // description for a pattern it cannot read.
    static bool likeMatches(QStringView pattern, QStringView text, bool* matches, QString* error);

    // Compares two texts without regard to case across all letters (É = é), as the catalogue's
    // NOCASE does.
    static int compareNoCase(QByteArrayView utf8a, QByteArrayView utf8b);
};
