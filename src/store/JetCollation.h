#pragma once

#include <QByteArrayView>
#include <QChar>

struct sqlite3;

// The catalogue's NOCASE: text compared without regard to case across all letters (É = é), with an
// accented letter sorting among its base letter's. It replaces SQLite's own, which folds only ASCII.
class JetCollation
{
public:
    // Registers the collation as "NOCASE" on the connection; returns SQLite's result code.
    static int registerOn(sqlite3* db);

    // Compares two UTF-8 texts as the collation does: negative, zero or positive.
    static int compareNoCase(QByteArrayView utf8a, QByteArrayView utf8b);

    // The character folded to its case-blind form.
    static char16_t fold(QChar c);
    // The letter without its accents and case: É, é and e share one.
    static char16_t baseLetter(QChar c);
};
